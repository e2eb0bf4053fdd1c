// Rules read from photographs (vernaskel-rulegen --photo): seeded synthetic
// photographs of the rule the generator draws, read back into a texture
// whose marks must lie where the generator put them and which the program
// then calculates with; and the pictures it must refuse.
//
// VERNASKEL_PHOTO_SURVEY=N reads N more seeded photographs, found and with
// their corners given, and prints how each went (no test fails on it).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "reading/readout.h"
#include "tests/rulegen/picture_files.h"
#include "tests/rulegen/rule_artwork.h"
#include "tests/rulegen/synthetic_photo.h"
#include "tests/support/program.h"
#include "tools/png_file.h"
#include "tools/rulegen/photo_files.h"
#include "tools/rulegen/photo_rule.h"
#include "tools/screenshot/rule_setting.h"

namespace {

struct CommandRun {
    int status = -1;
    std::string output;  // standard output and error
};

CommandRun RunRulegen(const std::string& arguments) {
    CommandRun run;
    const std::string command = std::string(VERNASKEL_RULEGEN) + " " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string CornersArgument(const Outline& outline) {
    std::string text = "--corners ";
    char number[32];
    for (int k = 0; k < 4; ++k) {
        std::snprintf(number, sizeof number, "%s%.1f,%.1f", k > 0 ? "," : "", outline.corner[k].x, outline.corner[k].y);
        text += number;
    }
    return text;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string FreshFolder(const std::string& name) {
    const std::string folder = ::testing::TempDir() + "vernaskel_photo_" + name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// How far the written texture's marks lie from the exact places of the
// marks the generator drew (every major and every fifth mark of rule 0).
struct MarkErrors {
    int probed = 0;
    int found = 0;
    double mean = 0;
    double worst = 0;
    double worstIndex = 0;  // C's and D's 1 and 10
};

MarkErrors CompareMarks(const RgbPicture& written) {
    MarkErrors errors;
    double sum = 0;
    for (const ProbedMark& probe : ProbedMarks()) {
        if (probe.rule != 0) continue;
        ++errors.probed;
        const StripMap& strip = DefaultArtwork()[0].strips[probe.strip];
        const TexelPoint at = TexelOfScenePoint(strip, SceneXOfPosition(probe.mark.position), ProbeY(probe.band, probe.mark));
        const int row = static_cast<int>(std::floor(at.y));
        const double found = MarkCentreInRow(&written.rgb[static_cast<size_t>(row) * written.width * 3], written.width, 3, at.x);
        const std::string name = probe.band.scale->name;
        const bool index = (name == "C" || name == "D") && (probe.mark.value == 1.0 || probe.mark.value == 10.0);
        const double error = std::isnan(found) ? 99.0 : std::fabs(found - at.x);
        if (index) errors.worstIndex = std::max(errors.worstIndex, error);
        if (std::isnan(found)) continue;
        ++errors.found;
        sum += error;
        errors.worst = std::max(errors.worst, error);
    }
    errors.mean = sum / std::max(errors.found, 1);
    return errors;
}

enum class Store { Jpeg, JpegTurned, Png };

struct PhotoCase {
    unsigned seed;
    bool corners;
    bool upsideDown;
    Store store;
    const char* scales;  // --scales, or null
};

// Makes the photograph of the case's seed in the folder; its path.
std::string WritePhoto(const PhotoCase& c, const std::string& folder, SyntheticPhoto* photo) {
    SyntheticPhotoOptions options;
    options.seed = c.seed;
    options.upsideDown = c.upsideDown;
    *photo = MakeSyntheticPhoto(DefaultArtwork()[0], options);
    std::string error;
    if (c.store == Store::Png) {
        const std::string path = folder + "/photo.png";
        EXPECT_TRUE(WritePngFile(path, photo->rgb.cols, photo->rgb.rows, 3, photo->rgb.ptr<uint8_t>(0)));
        return path;
    }
    const std::string path = folder + "/photo.jpg";
    EXPECT_TRUE(WriteJpegPhoto(path, photo->rgb, photo->jpegQuality, c.store == Store::JpegTurned ? 6 : 1, &error)) << error;
    return path;
}

TEST(RuleFromPhoto, SyntheticPhotographsComeBackAsTheRule) {
    ASSERT_NE(DefaultArtwork(), nullptr);
    const PhotoCase cases[] = {
        {11, true, false, Store::Jpeg, "K A LL3 | B CI C | D L"},
        {12, false, false, Store::JpegTurned, nullptr},
        {13, false, true, Store::Png, nullptr},
    };
    for (const PhotoCase& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        const std::string folder = FreshFolder("seed" + std::to_string(c.seed));
        SyntheticPhoto photo;
        const std::string path = WritePhoto(c, folder, &photo);
        std::string arguments = "--photo " + path + " --out " + folder + "/data";
        if (c.corners) arguments += " " + CornersArgument(photo.outline);
        if (c.scales != nullptr) arguments += std::string(" --scales '") + c.scales + "'";
        const CommandRun run = RunRulegen(arguments);
        ASSERT_EQ(run.status, 0) << run.output;
        std::printf("[ photo    ] %s", run.output.c_str());
        RgbPicture written;
        ASSERT_TRUE(ReadTgaForTest(folder + "/data/rule0.tga", &written));
        const MarkErrors errors = CompareMarks(written);
        std::printf("[ photo    ] seed %u: %d of %d marks found, %.3f texels from their places on average, %.3f at "
                    "most, the indices %.3f at most\n",
                    c.seed, errors.found, errors.probed, errors.mean, errors.worst, errors.worstIndex);
        EXPECT_GE(errors.found, errors.probed * 9 / 10);
        EXPECT_LT(errors.mean, 0.3);
        EXPECT_LT(errors.worstIndex, 1.0);
        std::ifstream map(folder + "/data/scales");
        const std::string text((std::istreambuf_iterator<char>(map)), std::istreambuf_iterator<char>());
        if (c.scales != nullptr) {
            EXPECT_NE(run.output.find("the scale LL3 does not fit the photograph"), std::string::npos) << run.output;
            EXPECT_NE(text.find("texture 0\nupper K A\nslide B CI C\nlower D L\n"), std::string::npos) << text;
        } else {
            EXPECT_NE(text.find("texture 0\nupper\nslide C\nlower D\n"), std::string::npos) << text;
        }
        EXPECT_TRUE(std::filesystem::exists(folder + "/data/photo-preview.png"));
    }

    // The program on the first photograph's rule: 2 x 3 set with the mouse,
    // C's 3 over D's 6 on the screen and in the readout.
    const std::string folder = ::testing::TempDir() + "vernaskel_photo_seed11";
    ASSERT_TRUE(StartProgramIn(folder, 1920, 1080));
    ScaleOnRule c{}, d{};
    std::string error;
    ASSERT_TRUE(FindScaleOnRule(DefaultDescription(), 0, "C", &c, &error)) << error;
    ASSERT_TRUE(FindScaleOnRule(DefaultDescription(), 0, "D", &d, &error)) << error;
    DragReport report{};
    ASSERT_TRUE(SetSlideOver(c, 1.0, d, 2.0, &report, &error)) << error;
    ASSERT_TRUE(SetHairlineOn(c, 3.0, &report, &error)) << error;
    RunPass();
    RunPass();
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    MarkOnScreen cThree{}, dSix{};
    ASSERT_TRUE(LocateMark(c, 3.0, &cThree, &error));
    ASSERT_TRUE(LocateMark(d, 6.0, &dSix, &error));
    const ScreenPicture screen{&picture, 1920, 1080};
    EXPECT_NEAR(FindMarkColumn(screen, cThree), FindMarkColumn(screen, dSix), 1.0);
    const std::string line = ReadoutLine(ReadRule(0));
    EXPECT_NE(line.find("D 6.000"), std::string::npos) << line;
    ResetProgramState();
}

TEST(RuleFromPhoto, RefusesPicturesWithoutAWholeRule) {
    ASSERT_NE(DefaultArtwork(), nullptr);
    struct Refusal {
        const char* name;
        const char* message;  // part of the one line it says
    };
    const Refusal refusals[] = {
        {"no-rule", "no rule was found in the photograph"},
        {"blank", "no rule was found in the photograph"},
        {"cut-off", "the rule is cut off by the picture's edge"},
        {"no-picture", "is no picture"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        const std::string folder = FreshFolder(refusal.name);
        std::string path = folder + "/photo.jpg";
        std::string error;
        const std::string name = refusal.name;
        if (name == "no-picture") {
            std::ofstream(path) << "a shopping list, not a photograph\n";
        } else if (name == "blank") {
            const cv::Mat grey(1500, 2000, CV_8UC3, cv::Scalar(128, 128, 128));
            ASSERT_TRUE(WriteJpegPhoto(path, grey, 90, 1, &error)) << error;
        } else {
            SyntheticPhotoOptions options;
            options.seed = 21;
            options.noRule = name == "no-rule";
            options.cutOff = name == "cut-off";
            const SyntheticPhoto photo = MakeSyntheticPhoto(DefaultArtwork()[0], options);
            ASSERT_TRUE(WriteJpegPhoto(path, photo.rgb, 90, 1, &error)) << error;
        }
        const CommandRun run = RunRulegen("--photo " + path + " --out " + folder + "/data");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(refusal.message), std::string::npos) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(FilesIn(folder + "/data"), std::vector<std::string>{"photo-preview.png"});
    }
}

TEST(RuleFromPhoto, ExifOrientationIsReadWithinItsSegment) {
    // SOI, then APP1 with "Exif\0\0", a TIFF header and IFD0's entries.
    const auto jpeg = [](std::vector<uint8_t> tiff, int lengthChange) {
        std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xE1};
        const size_t length = 2 + 6 + tiff.size() + lengthChange;
        bytes.push_back(static_cast<uint8_t>(length >> 8));
        bytes.push_back(static_cast<uint8_t>(length & 0xFF));
        for (char c : std::string("Exif\0\0", 6)) bytes.push_back(static_cast<uint8_t>(c));
        bytes.insert(bytes.end(), tiff.begin(), tiff.end());
        return bytes;
    };
    const std::vector<uint8_t> little = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0};
    const std::vector<uint8_t> big = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 8, 0, 0};
    const std::vector<uint8_t> farIfd = {'I', 'I', 42, 0, 0xF0, 0xFF, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0};
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int orientation;
    };
    const Case cases[] = {
        {"little-endian", jpeg(little, 0), 6},
        {"big-endian", jpeg(big, 0), 8},
        {"the entry cut off by the segment's length", jpeg(little, -4), 1},
        {"a segment longer than the file", jpeg(little, 40), 1},
        {"IFD0 beyond the segment", jpeg(farIfd, 0), 1},
        {"no Exif segment", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(JpegExifOrientation(c.bytes.data(), c.bytes.size()), c.orientation) << c.what;
}

// The survey: how the reading goes over many photographs.
TEST(RuleFromPhoto, Survey) {
    const char* count = std::getenv("VERNASKEL_PHOTO_SURVEY");
    if (count == nullptr) GTEST_SKIP() << "set VERNASKEL_PHOTO_SURVEY=N to read N more photographs";
    ASSERT_NE(DefaultArtwork(), nullptr);
    const std::string folder = FreshFolder("survey");
    const char* first = std::getenv("VERNASKEL_PHOTO_SURVEY_FIRST");
    const int firstSeed = first != nullptr ? std::atoi(first) : 100;
    std::printf("seed  turned  how      result   index error  mean error  seconds   slide shift   lens bow        refusal\n");
    for (int k = 0; k < std::atoi(count); ++k) {
        const PhotoCase c{static_cast<unsigned>(firstSeed + k), false, (firstSeed + k) % 3 == 2, Store::Jpeg, nullptr};
        SyntheticPhoto photo;
        const std::string path = folder + "/photo-" + std::to_string(c.seed) + ".jpg";
        std::filesystem::rename(WritePhoto(c, folder, &photo), path);
        for (bool corners : {false, true}) {
            PhotoRequest request;
            request.path = path;
            request.hasCorners = corners;
            request.corners = photo.outline;
            RuleArtwork strips{};
            std::string error;
            ASSERT_TRUE(MapRuleStrips(BuildInitialPanelTable(), 0, &strips, &error)) << error;
            const auto start = std::chrono::steady_clock::now();
            const PhotoResult result = ReadRulePhoto(request, strips);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const MarkErrors errors = result.ok ? CompareMarks(result.artwork.picture) : MarkErrors{};
            std::printf("%4u  %-6s  %-7s  %-7s  %11.3f  %10.3f  %7.2f  %6.3f %6.3f  %7.4f %7.4f  %s\n", c.seed,
                        c.upsideDown ? "yes" : "no", corners ? "corners" : "found", result.ok ? "read" : "refused",
                        errors.worstIndex, errors.mean, seconds, photo.slideShift,
                        result.fitted ? result.model.slideShift * INDEX_LENGTH : 0.0, photo.lensK,
                        result.fitted ? result.model.frame.lens.k : 0.0, result.ok ? "" : result.failure.c_str());
        }
    }
}

}  // namespace
