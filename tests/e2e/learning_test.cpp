// Learning on the rule: typed lines worked through the real main loop on
// the data the generator draws, with the readout as the judge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/app_window.h"
#include "learning/command_line.h"
#include "learning/demonstration.h"
#include "learning/lessons.h"
#include "platform/platform.h"
#include "reading/readout.h"
#include "reading/readout_overlay.h"
#include "interaction/dragging.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"
#include "tools/rulegen/rule_data.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 360;
constexpr uint32_t PASS_MS = 100;

void Press(int virtualKey) {
    HeadlessKey(virtualKey, true);
    HeadlessKey(virtualKey, false);
}

// Opens the command line, types the line and runs it.
void RunLine(const std::string& line) {
    Press(VK_RETURN);
    RunPass();
    HeadlessType(line.c_str());
    Press(VK_RETURN);
    RunPass();
}

// Passes of PASS_MS each until the demonstration is over; the clock time it
// took, or -1 when it did not end within a minute.
int RunDemonstration() {
    uint32_t elapsed = 0;
    while (demonstration.running) {
        if (elapsed > 60000) return -1;
        HeadlessAdvanceTicks(PASS_MS);
        elapsed += PASS_MS;
        RunPass();
    }
    RunPass();
    return static_cast<int>(elapsed);
}

// The value under the rule's hairline on a scale, as the readout has it.
bool ReadOn(int rule, const ScaleDefinition* scale, double* value) {
    for (const ScaleReading& reading : ReadRule(rule).readings) {
        if (reading.scale == scale && reading.onScale) {
            *value = reading.value;
            return true;
        }
    }
    return false;
}

// Starts the program on rules drawn by the generator from a description.
bool StartOn(const std::string& rules) {
    if (rules.empty()) return StartProgramIn(std::string(VERNASKEL_DATA_DIR) + "/..", WIDTH, HEIGHT);
    const std::string folder = MakeDataDirectory({});
    RuleDescription description{};
    std::string error;
    if (folder.empty() || !ReadRuleDescriptionFile(rules.c_str(), &description, &error) ||
        !WriteRuleData(description, folder + "/data", RuleDataOptions{false, false}, &error)) {
        ADD_FAILURE() << rules << ": " << error;
        return false;
    }
    return StartProgramIn(folder, WIDTH, HEIGHT);
}

class Learning : public ::testing::Test {
protected:
    void TearDown() override { ResetProgramState(); }
};

// Each calculation worked on the rule ends with the answer under the
// hairline, within what the rule can be read to there.
TEST_F(Learning, DemonstrationsEndOnTheAnswer) {
    struct Case {
        const char* rules;  // a model's description; empty: the default rules
        const char* line;
    };
    const std::string models = VERNASKEL_MODELS_SOURCE_DIR;
    const Case cases[] = {
        {"", "3.7*4.2/1.9"}, {"", "2*3"},     {"", "6/3"},      {"", "4*5"},     {"", "2.5^2"},
        {"", "sqrt(5)"},     {"", "sqrt(50)"}, {"", "8^(1/3)"}, {"", "1/7"},     {"", "pi*2.5^2"},
        {"", "sin(30)"},     {"", "tan(20)"}, {"", "log(2)"},   {"", "e^0.5"},   {"", "1.05^12"},
        {"darmstadt", "2.6*3.1"}, {"darmstadt", "sqrt(7)"},   {"darmstadt", "sin(40)"},
        {"elektro", "7.5/2.5"},   {"elektro", "1.2^5"},       {"elektro", "sqrt(3)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rules) + " " + c.line);
        const std::string rules = c.rules[0] == '\0' ? "" : models + "/" + c.rules + ".rules";
        ASSERT_TRUE(StartOn(rules));
        RunLine(c.line);
        ASSERT_TRUE(demonstration.running) << commandLine.message;
        const Plan plan = demonstration.plan;
        const int took = RunDemonstration();
        ASSERT_GE(took, 0);
        // Every step moves for about half a second, timed by the clock.
        EXPECT_GE(took, static_cast<int>(plan.steps.size() * DEMONSTRATION_MOVE_MS));
        double read = 0.0;
        ASSERT_TRUE(ReadOn(plan.rule, plan.answerScale, &read)) << plan.answerScale->name;
        const double answer = read * std::pow(10.0, plan.decimalExponent);
        EXPECT_NEAR(answer, plan.exact, std::fabs(plan.exact) * 0.004 + 1e-9) << plan.answerScale->name << " " << read;
        EXPECT_NE(commandLine.message.find(plan.answerScale->name), std::string::npos) << commandLine.message;
        ResetProgramState();
    }
}

TEST_F(Learning, TheDefaultRulesWorkThreePointSevenTimesFourPointTwoOverOnePointNine) {
    ASSERT_TRUE(StartOn(""));
    RunLine("3.7*4.2/1.9");
    ASSERT_GE(RunDemonstration(), 0);
    double d = 0.0;
    ASSERT_TRUE(ReadOn(0, FindScale("D"), &d));
    EXPECT_EQ(FormatReading(d), "8.179");
    EXPECT_EQ(commandLine.message.rfind("D reads 8.179", 0), 0u) << commandLine.message;
}

// Settings move one part, on the rule last used; mistakes move nothing.
TEST_F(Learning, SettingsMoveOnePartAndMistakesMoveNothing) {
    ASSERT_TRUE(StartOn(""));
    struct Case {
        const char* line;
        int rule;
        const char* scale;  // read under the hairline; null: what C's index stands over on D
        double value;
    };
    const Case settings[] = {
        {"D 2.5", 0, "D", 2.5}, {"C 1 over D 2", 0, nullptr, 2.0},  {"CI 4", 0, "CI", 4.0},
        {"lower LL3 5", 1, "LL3", 5.0}, {"C 10 over D 4", 1, nullptr, 4.0}, {"upper K 27", 0, "K", 27.0},
    };
    for (const Case& c : settings) {
        SCOPED_TRACE(c.line);
        RunLine(c.line);
        ASSERT_GE(RunDemonstration(), 0);
        double read = ReadRule(c.rule).setting;
        if (c.scale != nullptr) {
            ASSERT_TRUE(ReadOn(c.rule, FindScale(c.scale), &read));
        }
        EXPECT_NEAR(read, c.value, c.value * 0.003);
    }
    const std::string bad[] = {"K 4000", "Q 2", "D", "2 +", "upper LL3 5"};
    for (const std::string& line : bad) {
        SCOPED_TRACE(line);
        const RulePosition before[2] = {ReadRulePosition(0), ReadRulePosition(1)};
        RunLine(line);
        RunDemonstration();
        EXPECT_FALSE(commandLine.message.empty());
        for (int rule = 0; rule < 2; ++rule) {
            EXPECT_DOUBLE_EQ(ReadRulePosition(rule).hairline, before[rule].hairline);
            EXPECT_DOUBLE_EQ(ReadRulePosition(rule).slide, before[rule].slide);
        }
    }
}

// While the line is open keys only type: R is not the readout, a digit is
// not a sensitivity, not even for the next drag; Escape closes it, and only
// the next Escape ends the program. Space steps on and Escape stops a
// demonstration.
TEST_F(Learning, KeysTypeWhileTheLineIsOpen) {
    ASSERT_TRUE(StartOn(""));
    const float sensitivity = dragSensitivity;
    Press(VK_RETURN);
    RunPass();
    HeadlessType("R9 ");
    RunPass();
    EXPECT_EQ(commandLine.text, "R9 ");
    EXPECT_FALSE(readoutOverlay.shown);
    Press(VK_BACK);
    Press(VK_ESCAPE);
    RunPass();
    EXPECT_FALSE(commandLine.open);
    EXPECT_EQ(inputState.quitRequested, 0);
    // The drag after it keeps the sensitivity the digit would have changed.
    HeadlessMouseButton(HeadlessButton::Left, true);
    RunPass();
    RunPass();
    HeadlessMouseButton(HeadlessButton::Left, false);
    EXPECT_EQ(dragSensitivity, sensitivity);

    RunLine("3.7*4.2/1.9");
    ASSERT_TRUE(demonstration.running);
    Press(VK_SPACE);
    RunPass();
    EXPECT_EQ(demonstration.step, 1u);
    Press(VK_ESCAPE);
    RunPass();
    EXPECT_FALSE(demonstration.running);
    EXPECT_EQ(inputState.quitRequested, 0);
    Press(VK_ESCAPE);
    EXPECT_FALSE(RunPass());
}

// Every panel of text holds its text, whatever the line: at 1024 x 768 the
// readouts of a rule set for 2 x 3 and the message of a demonstration.
TEST_F(Learning, PanelsHoldTheirText) {
    constexpr int width = 1024;
    constexpr int height = 768;
    ASSERT_TRUE(StartProgramIn(std::string(VERNASKEL_DATA_DIR) + "/..", width, height));
    RunLine("2*3");
    ASSERT_GE(RunDemonstration(), 0);
    Press(VK_A + ('R' - 'A'));
    RunPass();
    RunPass();
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    // The panels' rows: the readouts' above and below the rules, the line's
    // at the bottom.
    const int tops[] = {static_cast<int>(0.04 * height), static_cast<int>(0.87 * height), height - 28};
    // Text is black like the background: text running past its panel would
    // touch the panel's right edge and vanish beyond it.
    const auto isPanel = [&](int x, int y) {
        const Rgb pixel = PixelAt(picture, width, x, y);
        return pixel.r == 237 && pixel.g == 237 && pixel.b == 237;
    };
    for (const int top : tops) {
        int panelRight = -1;
        for (int y = top + 2; y < top + 20; ++y) {
            for (int x = 0; x < width; ++x) {
                if (isPanel(x, y)) panelRight = std::max(panelRight, x);
            }
        }
        int textRight = -1;
        for (int y = top + 2; y < top + 20; ++y) {
            for (int x = 12; x < panelRight; ++x) {
                if (!isPanel(x, y) && isPanel(x - 1, y)) textRight = std::max(textRight, x);
            }
        }
        EXPECT_GT(textRight, 100) << "the panel at row " << top << " has text";
        EXPECT_GE(panelRight - textRight, 3) << "the panel at row " << top << " ends after its text";
    }
}

// Practice: the same seed poses the same problems; the rule set for the
// answer is checked right, another setting wrong with both values named.
TEST_F(Learning, PracticeChecksTheReadingLeftUnderTheHairline) {
    ASSERT_TRUE(StartOn(""));
    TogglePractice(42);
    const std::string first = practice.problem.text;
    TogglePractice(42);
    TogglePractice(42);
    EXPECT_EQ(practice.problem.text, first);
    ASSERT_TRUE(practice.problem.plan.possible);
    // Worked as the solution works it, without showing it.
    StartDemonstration(practice.problem.plan, practice.problem.text, PlatformGetTickCount());
    ASSERT_GE(RunDemonstration(), 0);
    Press(VK_RETURN);
    RunPass();
    EXPECT_EQ(practice.right, 1) << commandLine.message;
    // The next problem with the hairline far from its answer: checked
    // wrong, naming what was read and what was wanted.
    Press(VK_RETURN);
    RunPass();
    ASSERT_FALSE(practice.checked);
    const Plan& plan = practice.problem.plan;
    const double answerAt = plan.steps.back().movesSlide ? 0.5 : plan.steps.back().target;
    const double elsewhere = answerAt > 0.5 ? answerAt - 0.3 : answerAt + 0.3;
    MovePanelAlongRule(RuleCursorPanel(plan.rule), HairlineShiftFor(plan.rule, elsewhere));
    Press(VK_RETURN);
    RunPass();
    EXPECT_TRUE(practice.checked);
    EXPECT_EQ(practice.right, 1) << commandLine.message;
    EXPECT_EQ(practice.asked, 2);
    EXPECT_NE(commandLine.message.find(FormatReading(plan.answerScaleValue)), std::string::npos)
        << commandLine.message;
}

}  // namespace
