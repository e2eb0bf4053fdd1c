// The default textures on the screen: the TGA files the build drew, loaded
// by the program's own loader (mipmapped, so gluBuild2DMipmaps rescales
// 2100 x 380 to 2048 x 256 and 2100 x 409 to 2048 x 512), drawn by its
// renderer on the headless backend at 1920 x 1080 with the slide at home.
// The marks must land on the screen columns that the scale functions give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/rulegen/rule_artwork.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
// Start-up moves the scene by this much (y and z).
constexpr double STARTUP_RAISE = 8.0;
constexpr double STRIP_DEPTH = 23.0;

class RuleScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(DefaultArtwork(), nullptr);
        const std::string folder =
            MakeLinkedDataDirectory({TextFile("data/ts", "2\nrule0 t m data\\rule0.tga\nrule1 t m data\\rule1.tga\n")},
                                    VERNASKEL_DATA_DIR, {"rule0.tga", "rule1.tga"});
        ASSERT_TRUE(StartProgramIn(folder, WIDTH, HEIGHT));
        ASSERT_TRUE(HeadlessMessageBoxes().empty()) << HeadlessMessageBoxes()[0].text;
        // The picture of a pass shows the state the previous pass left.
        RunPass();
        RunPass();
        screen_ = HeadlessReadPixels();
    }
    void TearDown() override { ResetProgramState(); }

    std::vector<uint8_t> screen_;
};

TEST_F(RuleScreen, MarksLandOnTheirScreenColumns) {
    double worst = 0.0;
    double sum = 0.0;
    int measured = 0;
    int unmeasured = 0;
    for (const ProbedMark& probe : ProbedMarks()) {
        // Only the marks far from the cursor window, which covers the middle.
        const double x = SceneXOfPosition(probe.mark.position);
        if (std::fabs(x) < 2.0) continue;
        const double y = ProbeY(probe.band, probe.mark);
        const ScreenPoint at = ProjectToClient(x, y + STARTUP_RAISE, STRIP_DEPTH, WIDTH, HEIGHT);
        const int row = static_cast<int>(std::floor(at.y));
        const double found = MarkCentreInRow(&screen_[static_cast<size_t>(row) * WIDTH * 4], WIDTH, 4, at.x);
        if (std::isnan(found)) {
            ++unmeasured;
            continue;
        }
        const double error = std::fabs(found - at.x);
        EXPECT_LT(error, 0.5) << "rule " << probe.rule << " scale " << probe.band.scale->name << " value "
                              << probe.mark.value << " expected at pixel x " << at.x << ", found at " << found;
        worst = std::max(worst, error);
        sum += error;
        ++measured;
    }
    EXPECT_GT(measured, 300);
    EXPECT_EQ(unmeasured, 0);
    std::printf("[ on screen ] 1920 x 1080: %d marks, mean %.3f px, worst %.3f px from the scale function\n", measured,
                sum / std::max(measured, 1), worst);
}

TEST_F(RuleScreen, CAndDShareTheirColumnsAtHome) {
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        const RuleArtwork& artwork = DefaultArtwork()[rule];
        const StripMap& slide = artwork.strips[STRIP_SLIDE];
        const StripMap& lower = artwork.strips[STRIP_LOWER_BODY];
        // Rows just inside the slide's lower edge (C) and the lower body's
        // upper edge (D), where their long marks meet across the gap.
        const ScreenPoint cRow = ProjectToClient(0, slide.bottom + 0.08 + STARTUP_RAISE, STRIP_DEPTH, WIDTH, HEIGHT);
        const ScreenPoint dRow = ProjectToClient(0, lower.top - 0.08 + STARTUP_RAISE, STRIP_DEPTH, WIDTH, HEIGHT);
        for (double value : {1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 7.5, 9.0, 10.0}) {
            const double x = ProjectToClient(SceneXOfPosition(std::log10(value)), 0, STRIP_DEPTH, WIDTH, HEIGHT).x;
            const auto centre = [&](const ScreenPoint& row) {
                return MarkCentreInRow(&screen_[static_cast<size_t>(row.y) * WIDTH * 4], WIDTH, 4, x);
            };
            EXPECT_NEAR(centre(cRow), centre(dRow), 0.25) << "rule " << rule << " value " << value;
        }
    }
}

}  // namespace
