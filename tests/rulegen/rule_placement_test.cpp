// The generator's marks lie where the scale functions and the strips'
// texture coordinates put them, in every file format it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tests/rulegen/picture_files.h"
#include "tests/rulegen/rule_artwork.h"
#include "tools/rulegen/rule_data.h"

namespace {

struct Written {
    bool ok = false;
    std::string folder;
    RgbPicture bmp[RULE_COUNT], tga[RULE_COUNT], jpeg[RULE_COUNT];
};

// The default data written by the generator into a fresh folder and read
// back in each format.
const Written& WrittenData() {
    static const Written written = [] {
        Written w;
        w.folder = ::testing::TempDir() + "vernaskel_rule_data";
        std::filesystem::remove_all(w.folder);
        std::string error;
        if (!WriteRuleData(DefaultDescription(), w.folder, RuleDataOptions{true, true}, &error)) {
            ADD_FAILURE() << error;
            return w;
        }
        w.ok = true;
        for (int rule = 0; rule < RULE_COUNT; ++rule) {
            const std::string stem = w.folder + "/rule" + std::to_string(rule);
            w.ok = w.ok && ReadBmpForTest(stem + ".bmp", &w.bmp[rule]) && ReadTgaForTest(stem + ".tga", &w.tga[rule]) &&
                   ReadJpegForTest(stem + ".jpg", &w.jpeg[rule]);
        }
        if (!w.ok) ADD_FAILURE() << "a written texture cannot be read back";
        return w;
    }();
    return written;
}

struct Placement {
    int marks = 0;  // found within half a texel
    double worst = 0.0;
    double mean = 0.0;
};

// How far (texels) the marks as found in the pictures lie from where they
// belong; fails the test for any mark further than half a texel or not
// found at all.
Placement MeasurePlacement(const std::vector<ProbedMark>& probes, const RuleArtwork* artwork,
                           const RgbPicture* pictures, const char* what) {
    Placement placement;
    std::string worstMark;
    double sum = 0.0;
    for (const ProbedMark& probe : probes) {
        const StripMap& strip = artwork[probe.rule].strips[probe.strip];
        const RgbPicture& picture = pictures[probe.rule];
        const double x = SceneXOfPosition(probe.mark.position);
        const TexelPoint at = TexelOfScenePoint(strip, x, ProbeY(probe.band, probe.mark));
        const int row = static_cast<int>(std::floor(at.y));
        const double found = MarkCentreInRow(&picture.rgb[static_cast<size_t>(row) * picture.width * 3], picture.width, 3,
                                             at.x);
        const double error = std::fabs(found - at.x);
        EXPECT_LT(error, 0.5) << what << ": rule " << probe.rule << " scale " << probe.band.scale->name << " value "
                              << probe.mark.value << " expected at texel x " << at.x << ", found at " << found;
        if (!(error < 0.5)) continue;
        if (error > placement.worst) {
            placement.worst = error;
            worstMark = std::string(probe.band.scale->name) + " " + std::to_string(probe.mark.value);
        }
        sum += error;
        ++placement.marks;
    }
    placement.mean = sum / std::max(placement.marks, 1);
    std::printf("[ placement ] %s: %d marks, mean %.3f, worst %.3f texels from the scale function (%s)\n", what,
                placement.marks, placement.mean, placement.worst, worstMark.c_str());
    return placement;
}

double WorstPlacement(const RgbPicture* pictures, const char* format) {
    const Placement placement = MeasurePlacement(ProbedMarks(), DefaultArtwork(), pictures, format);
    EXPECT_GT(placement.marks, 300);
    return placement.worst;
}

TEST(RulePlacement, MarksLieWithinHalfATexelInEveryFormat) {
    ASSERT_NE(DefaultArtwork(), nullptr);
    const Written& written = WrittenData();
    ASSERT_TRUE(written.ok);
    const RgbPicture drawn[RULE_COUNT] = {DefaultArtwork()[0].picture, DefaultArtwork()[1].picture};
    // Lossless formats carry the drawing exactly; JPEG a little less so.
    EXPECT_LT(WorstPlacement(drawn, "drawn"), 0.1);
    EXPECT_LT(WorstPlacement(written.bmp, "bmp"), 0.1);
    EXPECT_LT(WorstPlacement(written.tga, "tga"), 0.1);
    WorstPlacement(written.jpeg, "jpeg");
}

// The folded, Pythagorean, split root, further log-log and hyperbolic
// scales, on a pair of rules.
constexpr const char* FURTHER_SCALES = "rule 0\nupper LL00 LL0 DF\nslide CF CIF W1\nlower W2 P LL01\n"
                                       "rule 1\nupper LL02 LL03 Sh1\nslide Sh2 Th\nlower\n";

TEST(RulePlacement, EveryMarkOfTheFurtherScalesLiesWithinATenthOfATexel) {
    ASSERT_NE(DefaultArtwork(), nullptr);
    RuleDescription description{};
    std::string error;
    ASSERT_TRUE(ParseRuleDescription(FURTHER_SCALES, "further scales", &description, &error)) << error;
    const std::string folder = ::testing::TempDir() + "vernaskel_further_scales";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WriteRuleData(description, folder, RuleDataOptions{false, false}, &error)) << error;
    const PanelTable table = BuildInitialPanelTable();
    RuleArtwork strips[RULE_COUNT]{};
    RgbPicture written[RULE_COUNT];
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        ASSERT_TRUE(MapRuleStrips(table, rule, &strips[rule], &error)) << error;
        ASSERT_TRUE(ReadTgaForTest(folder + "/rule" + std::to_string(rule) + ".tga", &written[rule]));
    }
    const std::vector<ProbedMark> marks = MarksOf(description, strips, true);
    const Placement placement = MeasurePlacement(marks, strips, written, "further scales, every mark, tga");
    EXPECT_EQ(placement.marks, static_cast<int>(marks.size()));
    EXPECT_GT(placement.marks, 1000);
    EXPECT_LT(placement.worst, 0.1);
    std::filesystem::remove_all(folder);
}

TEST(RulePlacement, CAndDAgreeOnScreenWhenTheSlideIsHome) {
    // C on the slide and D on the lower body have different texture columns
    // (the strips' s ranges differ), but must meet at the same scene x.
    ASSERT_NE(DefaultArtwork(), nullptr);
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        const RuleArtwork& artwork = DefaultArtwork()[rule];
        const StripMap& slide = artwork.strips[STRIP_SLIDE];
        const StripMap& lower = artwork.strips[STRIP_LOWER_BODY];
        const ScaleBand c = LayOutStrip(slide.bottom, slide.top, DefaultDescription().rules[rule].strips[STRIP_SLIDE]).back();
        const ScaleBand d = LayOutStrip(lower.bottom, lower.top, DefaultDescription().rules[rule].strips[STRIP_LOWER_BODY]).front();
        ASSERT_STREQ(c.scale->name, "C");
        ASSERT_STREQ(d.scale->name, "D");
        if (rule == 0) {
            EXPECT_NE(slide.texelX[2], lower.texelX[2]);
        }
        for (double value : {1.0, 1.5, 2.0, 3.0, 3.14, 4.0, 6.0, 7.5, 9.0, 10.0}) {
            const ScaleMark mark{value, std::log10(value), 4};
            double sceneX[2];
            const ScaleBand* bands[2] = {&c, &d};
            const StripMap* strips[2] = {&slide, &lower};
            for (int k = 0; k < 2; ++k) {
                const TexelPoint at = TexelOfScenePoint(*strips[k], SceneXOfPosition(mark.position), ProbeY(*bands[k], mark));
                const int row = static_cast<int>(std::floor(at.y));
                const double found = MarkCentreInRow(&artwork.picture.rgb[static_cast<size_t>(row) * artwork.picture.width * 3],
                                                     artwork.picture.width, 3, at.x);
                sceneX[k] = SceneXOfTexelX(*strips[k], found);
            }
            const double texelWidth = (slide.right - slide.left) / (slide.texelX[2] - slide.texelX[0]);
            EXPECT_LT(std::fabs(sceneX[0] - sceneX[1]), 0.2 * texelWidth) << "rule " << rule << " value " << value;
        }
    }
}

// Walks from a row inside a mark toward its tip; returns the texel y where
// the darkness falls to half of what it is inside.
double FindTip(const RgbPicture& picture, int column, double insideY, double direction) {
    const auto darkness = [&](int row) {
        return Darkness(&picture.rgb[(static_cast<size_t>(row) * picture.width + column) * 3]);
    };
    int row = static_cast<int>(std::floor(insideY));
    const double inside = darkness(row);
    const int step = direction > 0 ? 1 : -1;
    for (int k = 0; k < 200; ++k, row += step) {
        const double here = darkness(row + step);
        if (here < inside / 2) {
            // Interpolate within the row where the darkness crosses half.
            const double fraction = (darkness(row) - inside / 2) / (darkness(row) - here);
            return row + 0.5 + step * fraction;
        }
    }
    return std::nan("");
}

TEST(RulePlacement, MarkTipsFollowTheSkewedStrips) {
    // The fine marks at both ends of every scale: their tips lie where the
    // strip's two triangles put the tip's scene point, within a texel row.
    // Reading the rows upside down, or ignoring the skew (up to 19 texel
    // rows from end to end) or the triangle split, misses by far more.
    ASSERT_NE(DefaultArtwork(), nullptr);
    int checked = 0;
    double worst = 0.0;
    for (const ProbedMark& probe : ProbedMarks()) {
        if (probe.mark.lengthClass < 3) continue;
        const RuleArtwork& artwork = DefaultArtwork()[probe.rule];
        const StripMap& strip = artwork.strips[probe.strip];
        const double x = SceneXOfPosition(probe.mark.position);
        if (std::fabs(x) < 11.0) continue;
        const TexelPoint inside = TexelOfScenePoint(strip, x, ProbeY(probe.band, probe.mark));
        const double tipY = probe.band.baseY + probe.band.direction * MarkLength(probe.band, probe.mark.lengthClass);
        const TexelPoint tip = TexelOfScenePoint(strip, x, tipY);
        const double found = FindTip(artwork.picture, static_cast<int>(std::floor(tip.x)), inside.y, probe.band.direction);
        EXPECT_NEAR(found, tip.y, 1.0) << "rule " << probe.rule << " scale " << probe.band.scale->name << " value "
                                       << probe.mark.value;
        worst = std::max(worst, std::fabs(found - tip.y));
        ++checked;
    }
    EXPECT_GT(checked, 20);
    std::printf("[ placement ] %d mark tips, worst %.2f texel rows\n", checked, worst);
}

TEST(RuleFiles, EachFormatHandsBackTheRowsTheWayTheProgramUploadsThem) {
    const Written& written = WrittenData();
    ASSERT_TRUE(written.ok);
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        const RgbPicture& drawn = DefaultArtwork()[rule].picture;
        EXPECT_EQ(written.bmp[rule].rgb, drawn.rgb) << "rule " << rule;
        EXPECT_EQ(written.tga[rule].rgb, drawn.rgb) << "rule " << rule;
        // JPEG: close to the drawing in the same row order, far from it
        // turned over.
        ASSERT_EQ(written.jpeg[rule].rgb.size(), drawn.rgb.size());
        const size_t rowBytes = static_cast<size_t>(drawn.width) * 3;
        double same = 0.0;
        double turned = 0.0;
        for (int row = 0; row < drawn.height; ++row) {
            for (size_t k = 0; k < rowBytes; ++k) {
                const int value = drawn.rgb[row * rowBytes + k];
                same += std::abs(written.jpeg[rule].rgb[row * rowBytes + k] - value);
                turned += std::abs(written.jpeg[rule].rgb[(drawn.height - 1 - row) * rowBytes + k] - value);
            }
        }
        same /= static_cast<double>(drawn.rgb.size());
        turned /= static_cast<double>(drawn.rgb.size());
        EXPECT_LT(same, 1.5) << "rule " << rule;
        EXPECT_GT(turned, 4 * same) << "rule " << rule;
    }
}

TEST(RuleFiles, TheListNamesTheDescribedFilesWithTheirReaders) {
    const Written& written = WrittenData();
    ASSERT_TRUE(written.ok);
    std::FILE* list = std::fopen((written.folder + "/ts").c_str(), "r");
    ASSERT_NE(list, nullptr);
    char text[256] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, list);
    std::fclose(list);
    EXPECT_EQ(std::string(text, got), "2\nrule0 t m data\\rule0.tga\nrule1 j m data\\rule1.jpg\n");
    EXPECT_TRUE(std::filesystem::exists(written.folder + "/template0.bmp"));
    EXPECT_TRUE(std::filesystem::exists(written.folder + "/template1.bmp"));
}

TEST(RuleFiles, AFolderThatCannotBeMadeIsReported) {
    std::string error;
    const std::string blocker = ::testing::TempDir() + "vernaskel_rule_blocker";
    std::FILE* file = std::fopen(blocker.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_FALSE(WriteRuleData(DefaultDescription(), blocker + "/data", RuleDataOptions{false, false}, &error));
    EXPECT_NE(error.find(blocker), std::string::npos) << error;
    std::filesystem::remove(blocker);
}

}  // namespace
