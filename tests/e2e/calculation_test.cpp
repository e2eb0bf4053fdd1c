// Calculating on the default rules: the program started on the data the
// build draws, the slide and the cursor window dragged with the mouse and the
// digit keys through whole main-loop passes, and the result read from the
// rendered picture by finding the marks in it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tools/screenshot/rule_setting.h"

namespace {

// Marks of the finest subdivisions are about 3.3 pixels apart here.
constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

class Calculating : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ReadRuleDescriptionFile(VERNASKEL_DEFAULT_RULES, &description_, &error)) << error;
        ASSERT_TRUE(FindScaleOnRule(description_, 0, "C", &c_, &error)) << error;
        ASSERT_TRUE(FindScaleOnRule(description_, 0, "D", &d_, &error)) << error;
        // The program runs where the build put the data: data\ts beside it.
        ASSERT_TRUE(StartProgramIn(std::string(VERNASKEL_DATA_DIR) + "/..", WIDTH, HEIGHT));
        ASSERT_TRUE(HeadlessMessageBoxes().empty()) << HeadlessMessageBoxes()[0].text;
    }
    void TearDown() override { ResetProgramState(); }

    // Drags the slide so that C's cValue lies over D's dValue, and returns
    // the picture that shows it.
    std::vector<uint8_t> SetSlide(double cValue, double dValue) {
        DragReport report{};
        std::string error;
        EXPECT_TRUE(SetSlideOver(c_, cValue, d_, dValue, &report, &error)) << error;
        return CurrentPicture();
    }

    // The picture of a pass shows the state the pass before left.
    static std::vector<uint8_t> CurrentPicture() {
        RunPass();
        RunPass();
        return HeadlessReadPixels();
    }

    // The screen column where the mark for the value is found in the
    // picture. It must also be where the scale and the panels put it now,
    // within a pixel, or a neighbouring mark may have been found.
    static double Column(const std::vector<uint8_t>& picture, const ScaleOnRule& scale, double value) {
        MarkOnScreen mark{};
        std::string error;
        EXPECT_TRUE(LocateMark(scale, value, &mark, &error)) << error;
        const double found = FindMarkColumn(ScreenPicture{&picture, WIDTH, HEIGHT}, mark);
        EXPECT_NEAR(found, mark.clientX, 1.0) << scale.band.scale->name << " " << value;
        return found;
    }

    // The two marks lie in one screen column, within a pixel.
    static void ExpectOneColumn(const char* what, double first, double second) {
        std::printf("[ columns  ] %-28s %8.2f %8.2f  %.2f px apart\n", what, first, second, std::fabs(first - second));
        EXPECT_NEAR(first, second, 1.0) << what;
    }

    RuleDescription description_{};
    ScaleOnRule c_{};
    ScaleOnRule d_{};
};

TEST_F(Calculating, TwoTimesThreeIsSixUnderTheHairline) {
    const std::vector<uint8_t> picture = SetSlide(1.0, 2.0);
    ExpectOneColumn("C 1 over D 2", Column(picture, c_, 1.0), Column(picture, d_, 2.0));
    const double cThree = Column(picture, c_, 3.0);
    ExpectOneColumn("C 3 over D 6", cThree, Column(picture, d_, 6.0));

    DragReport report{};
    std::string error;
    ASSERT_TRUE(SetHairlineOn(c_, 3.0, &report, &error)) << error;
    const std::vector<uint8_t> withCursor = CurrentPicture();
    const ScreenPicture screen{&withCursor, WIDTH, HEIGHT};
    int top = 0, bottom = 0;
    RuleRows(screen, 0, &top, &bottom);
    ExpectOneColumn("hairline on C 3", FindHairlineColumn(screen, cThree, top, bottom), cThree);
}

// Division: the divisor on C over the dividend on D, the quotient on D under
// C's index.
TEST_F(Calculating, NineDividedByOneAndAHalfIsSixUnderTheLeftIndex) {
    const std::vector<uint8_t> picture = SetSlide(1.5, 9.0);
    ExpectOneColumn("C 1.5 over D 9", Column(picture, c_, 1.5), Column(picture, d_, 9.0));
    ExpectOneColumn("C 1 over D 6", Column(picture, c_, 1.0), Column(picture, d_, 6.0));
}

// A quotient below 1 lies under the right index, the slide pulled out to
// the left: 2 / 8 = 0.25 reads 2.5 on D.
TEST_F(Calculating, TwoDividedByEightIsAQuarterUnderTheRightIndex) {
    const std::vector<uint8_t> picture = SetSlide(8.0, 2.0);
    ExpectOneColumn("C 8 over D 2", Column(picture, c_, 8.0), Column(picture, d_, 2.0));
    ExpectOneColumn("C 10 over D 2.5", Column(picture, c_, 10.0), Column(picture, d_, 2.5));
}

}  // namespace
