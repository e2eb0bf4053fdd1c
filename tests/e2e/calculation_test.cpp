// Calculating on the default rules and on a ready-made model: the program
// started on the data the generator draws, the slide and the cursor window dragged with the mouse and the
// digit keys through whole main-loop passes, and the result read from the
// rendered picture by finding the marks in it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "reading/readout.h"
#include "scene/panels.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"
#include "tools/rulegen/rule_data.h"
#include "tools/screenshot/rule_setting.h"

namespace {

// Marks of the finest subdivisions are about 3.3 pixels apart here.
constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

class Calculating : public ::testing::Test {
protected:
    void SetUp() override {
        // The program runs where the build put the data: data\ts beside it.
        Start(VERNASKEL_DEFAULT_RULES, std::string(VERNASKEL_DATA_DIR) + "/..");
    }
    void TearDown() override { ResetProgramState(); }

    // Starts the program in a folder whose data was drawn from the
    // description, and finds C and D on the first rule.
    void Start(const char* rules, const std::string& folder) {
        std::string error;
        ASSERT_TRUE(ReadRuleDescriptionFile(rules, &description_, &error)) << error;
        ASSERT_TRUE(FindScaleOnRule(description_, 0, "C", &c_, &error)) << error;
        ASSERT_TRUE(FindScaleOnRule(description_, 0, "D", &d_, &error)) << error;
        ASSERT_TRUE(StartProgramIn(folder, WIDTH, HEIGHT));
        ASSERT_TRUE(HeadlessMessageBoxes().empty()) << HeadlessMessageBoxes()[0].text;
    }

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

    // Drags the first rule's cursor window onto the scale's mark for the
    // value and returns the column where its hairline is found, near the
    // column given.
    static double HairlineColumnOn(const ScaleOnRule& scale, double value, double near) {
        DragReport report{};
        std::string error;
        EXPECT_TRUE(SetHairlineOn(scale, value, &report, &error)) << error;
        const std::vector<uint8_t> picture = CurrentPicture();
        const ScreenPicture screen{&picture, WIDTH, HEIGHT};
        int top = 0, bottom = 0;
        RuleRows(screen, 0, &top, &bottom);
        return FindHairlineColumn(screen, near, top, bottom);
    }

    // The two marks lie in one screen column, within a pixel.
    static void ExpectOneColumn(const char* what, double first, double second) {
        std::printf("[ columns  ] %-28s %8.3f %8.3f  %.3f px apart\n", what, first, second, std::fabs(first - second));
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

// The readout (R): what lies under the first rule's hairline, at the start
// and with 2 x 3 set by the mouse, drawn where it covers none of the rules;
// F1 lays the controls over the picture.
TEST_F(Calculating, ReadoutShowsTheValuesUnderTheHairlineAboveAndBelowTheRules) {
    const std::vector<uint8_t> without = CurrentPicture();
    const auto press = [](int key) {
        HeadlessKey(key, true);
        HeadlessKey(key, false);
    };
    press(VK_A + ('R' - 'A'));
    const std::vector<uint8_t> with = CurrentPicture();
    const int top = static_cast<int>(ProjectToClient(0, 9, 23, WIDTH, HEIGHT).y);
    const int bottom = static_cast<int>(ProjectToClient(0, -8, 23, WIDTH, HEIGHT).y) + 1;
    size_t onRules = 0;
    size_t elsewhere = 0;
    for (size_t k = 0; k < with.size(); ++k) {
        const int row = static_cast<int>(k / 4 / WIDTH);
        if (with[k] != without[k]) ++(row >= top && row <= bottom ? onRules : elsewhere);
    }
    EXPECT_EQ(onRules, 0u);
    EXPECT_GT(elsewhere, 1000u);

    std::string line = ReadoutLine(ReadRule(0));
    for (const char* reading : {"K 31.62 ", "A 10.00 ", "D 3.162 ", "L 0.5000 ", "C index over D 1.000"}) {
        EXPECT_NE(line.find(reading), std::string::npos) << reading << " in " << line;
    }
    SetSlide(1.0, 2.0);
    DragReport report{};
    std::string error;
    ASSERT_TRUE(SetHairlineOn(c_, 3.0, &report, &error)) << error;
    line = ReadoutLine(ReadRule(0));
    for (const char* reading : {"D 6.000 ", "A 36.00 ", " C 3.000 ", "C index over D 2.000"}) {
        EXPECT_NE(line.find(reading), std::string::npos) << reading << " in " << line;
    }

    press(VK_F1);
    const Rgb middle = PixelAt(CurrentPicture(), WIDTH, WIDTH / 2 + 200, HEIGHT / 2);
    EXPECT_EQ(middle.r, 237);
    EXPECT_EQ(middle.b, 237);
    press(VK_F1);
    EXPECT_NE(PixelAt(CurrentPicture(), WIDTH, WIDTH / 2 + 200, HEIGHT / 2).b, 237);
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

// The folded scales spare the resetting of the slide: on the log-log duplex
// model, drawn by the generator into a folder of its own, with the slide set
// for 2 (C's 1 over D's 2), C's 7 lies past the end of the rule, but CF's 7
// stands under DF's 14.
class CalculatingOnTheDuplex : public Calculating {
protected:
    void SetUp() override {
        const std::string folder = MakeDataDirectory({});
        ASSERT_FALSE(folder.empty());
        RuleDescription duplex{};
        std::string error;
        ASSERT_TRUE(ReadRuleDescriptionFile(DUPLEX_RULES, &duplex, &error)) << error;
        ASSERT_TRUE(WriteRuleData(duplex, folder + "/data", RuleDataOptions{false, false}, &error)) << error;
        Start(DUPLEX_RULES, folder);
    }
    static constexpr const char* DUPLEX_RULES = VERNASKEL_MODELS_SOURCE_DIR "/duplex.rules";
};

TEST_F(CalculatingOnTheDuplex, TwoTimesSevenIsReadOnDFOverCFsSeven) {
    ScaleOnRule cf{}, df{};
    std::string error;
    ASSERT_TRUE(FindScaleOnRule(description_, 0, "CF", &cf, &error)) << error;
    ASSERT_TRUE(FindScaleOnRule(description_, 0, "DF", &df, &error)) << error;
    const std::vector<uint8_t> picture = SetSlide(1.0, 2.0);
    MarkOnScreen cSeven{};
    ASSERT_TRUE(LocateMark(c_, 7.0, &cSeven, &error)) << error;
    EXPECT_GT(cSeven.sceneX, panelTable.panels[d_.panel].corner[3][0]) << "C's 7 should lie past the rule's end";

    const double cfSeven = Column(picture, cf, 7.0);
    const double dfFourteen = Column(picture, df, 14.0);
    ExpectOneColumn("CF 7 under DF 14", cfSeven, dfFourteen);
    EXPECT_LT(std::fabs(cfSeven - dfFourteen), 0.5);

    ExpectOneColumn("hairline on CF 7, DF 14", HairlineColumnOn(cf, 7.0, cfSeven), dfFourteen);
}

// The readout of scales that are folded, inverted, of angles and log-log,
// against their own functions: at the start the hairline lies mid-index,
// where D shows the square root of ten.
TEST_F(CalculatingOnTheDuplex, ReadoutReadsFoldedInvertedAngleAndLogLogScales) {
    const double pi = 3.14159265358979323846;
    const double root = std::sqrt(10.0);
    const std::string first = ReadoutLine(ReadRule(0));
    const std::string second = ReadoutLine(ReadRule(1));
    struct Expected {
        const std::string& line;
        const char* scale;
        double value;
        const char* shown;
    };
    const Expected expected[] = {
        {first, "CF", pi * root, "9.935"},                             // folded at pi
        {first, "CIF", 10.0 * root / pi, "10.07"},                     // folded and inverted
        {first, "LL3", std::exp(root), "23.62"},                       // log-log
        {first, "LL03", std::exp(-root), "0.04233"},                   // log-log, inverted
        {second, "S", std::asin(1.0 / root) * 180.0 / pi, "18.43"},    // an angle, in degrees
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(FormatReading(e.value), e.shown) << e.scale;
        const std::string reading = std::string(e.scale) + " " + e.shown + " ";
        EXPECT_NE(e.line.find(reading), std::string::npos) << reading << " in " << e.line;
    }
}

}  // namespace
