// Learning the rule: typed lines, plans worked on the shipped rules in the
// rules' own frame, and practice problems.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "learning/calculation.h"
#include "learning/plan.h"
#include "learning/practice.h"

namespace {

TEST(TypedLine, GoodLinesParse) {
    struct Case {
        const char* line;
        CommandKind kind;
        int rule;
        const char* scale;  // settings: the scales, "D" or "C over D"; calculations: written back
        double value;       // settings: the first value; calculations: the result
    };
    const Case cases[] = {
        {"", CommandKind::Empty, -1, "", 0},
        {"D 2.5", CommandKind::HairlineSetting, -1, "D", 2.5},
        {"lower LL2 1.5", CommandKind::HairlineSetting, 1, "LL2", 1.5},
        {"upper C 10 over D 4", CommandKind::SlideSetting, 0, "C over D", 10},
        {"cf pi", CommandKind::HairlineSetting, -1, "cf", 3.14159265},
        {"2*3", CommandKind::Calculation, -1, "2*3", 6},
        {" 6 / 3 ", CommandKind::Calculation, -1, "6/3", 2},
        {"3.7*4.2/1.9", CommandKind::Calculation, -1, "3.7*4.2/1.9", 8.17894737},
        {"2.5^2", CommandKind::Calculation, -1, "2.5^2", 6.25},
        {"upper sqrt(5)", CommandKind::Calculation, 0, "sqrt(5)", 2.23606798},
        {"8^(1/3)", CommandKind::Calculation, -1, "8^(1/3)", 2},
        {"1/7", CommandKind::Calculation, -1, "1/7", 0.142857143},
        {"pi*2.5^2", CommandKind::Calculation, -1, "pi*2.5^2", 19.6349541},
        {"sin(30)", CommandKind::Calculation, -1, "sin(30)", 0.5},
        {"tan(20)", CommandKind::Calculation, -1, "tan(20)", 0.363970234},
        {"log(2)", CommandKind::Calculation, -1, "log(2)", 0.301029996},
        {"e^0.5", CommandKind::Calculation, -1, "e^0.5", 1.64872127},
        {"1.05^12", CommandKind::Calculation, -1, "1.05^12", 1.79585633},
        {"-2^2 + 2^-1", CommandKind::Calculation, -1, "-2^2+2^(-1)", -3.5},
        {"2^3^2", CommandKind::Calculation, -1, "2^3^2", 512},
        {"(1+2)*(8-2)/4/3", CommandKind::Calculation, -1, "(1+2)*(8-2)/4/3", 1.5},
        {"1e3*cbrt(27)-ln(exp(2))+cos(60)+.5", CommandKind::Calculation, -1, "1e3*cbrt(27)-ln(exp(2))+cos(60)+.5",
         2999},
    };
    for (const Case& c : cases) {
        Command command;
        std::string error;
        ASSERT_TRUE(ParseCommand(c.line, &command, &error)) << c.line << ": " << error;
        EXPECT_EQ(command.kind, c.kind) << c.line;
        EXPECT_EQ(command.rule, c.rule) << c.line;
        if (c.kind == CommandKind::Calculation) {
            EXPECT_EQ(NodeText(command, command.root), c.scale) << c.line;
            EXPECT_NEAR(EvaluateCalculation(command), c.value, 1e-6 * std::fabs(c.value)) << c.line;
        } else if (c.kind != CommandKind::Empty) {
            const std::string scales =
                command.scale + (command.kind == CommandKind::SlideSetting ? " over " + command.otherScale : "");
            EXPECT_EQ(scales, c.scale) << c.line;
            EXPECT_NEAR(command.value, c.value, 1e-6) << c.line;
        }
    }
}

TEST(TypedLine, BadLinesSayWhatIsWrong) {
    const char* cases[][2] = {
        {"2*(3+4))", "unexpected ')' at 8"},
        {"2*", "the line ends after '*'; a number should follow"},
        {"sqrt(5", "'(' at 5 is never closed"},
        {"sqrt 5", "'sqrt' at 1 needs its value in parentheses"},
        {"2 3", "unexpected '3' at 3"},
        {"2*x", "unknown name 'x' at 3; a calculation knows pi, e, sqrt cbrt sin cos tan log ln exp"},
        {"1.2.3", "unexpected '.3' at 4"},
        {"3 % 4", "unexpected '%' at 3"},
        {"D", "'D' needs a value after it, as in 'D 2.5'"},
        {"upper", "'upper' needs a setting or a calculation after it"},
        {"C 1 over D", "'over' at 5 needs a scale and a value after it, as in C 1 over D 2"},
        {"D 2 3", "unexpected '3' at 5"},
    };
    // Nesting is bounded by the line's length: parsing and evaluating recurse.
    const std::string deep = std::string(150, '(') + "2" + std::string(150, ')');
    Command nested;
    std::string tooLong;
    EXPECT_FALSE(ParseCommand(deep, &nested, &tooLong));
    EXPECT_EQ(tooLong, "a line of at most 200 characters, please");
    for (const auto& c : cases) {
        Command command;
        std::string error;
        EXPECT_FALSE(ParseCommand(c[0], &command, &error)) << c[0];
        EXPECT_EQ(error, c[1]) << c[0];
    }
}

// The scale maps the generator writes for the shipped rules and two models.
struct Rules {
    const char* name;
    const char* map;
};
const Rules RULES[] = {
    {"default", "texture 0\nupper K A\nslide B CI C\nlower D L\ntexture 1\nupper LL2 LL3\nslide S T C\nlower D LL1\n"},
    {"darmstadt",
     "texture 0\nupper L K A\nslide B CI C\nlower D P S\ntexture 1\nupper L K A\nslide LL1 LL2 LL3\nlower D P T\n"},
    {"elektro",
     "texture 0\nupper K A\nslide B CI C\nlower D LL2 LL3\ntexture 1\nupper Sh1 Sh2\nslide S T C\nlower D Th\n"},
};

ScaleMap MapOf(const Rules& rules) {
    ScaleMap map{};
    int line = 0;
    std::string problem;
    EXPECT_TRUE(ParseScaleMap(rules.map, &map, &line, &problem)) << rules.name << ":" << line << ": " << problem;
    return map;
}

Command Parsed(const std::string& line) {
    Command command;
    std::string error;
    EXPECT_TRUE(ParseCommand(line, &command, &error)) << line << ": " << error;
    return command;
}

// Works the plan's steps from wherever the parts stand and reads the answer
// scale where they leave them, with the decimal point placed.
const RulePosition STARTING[2] = {{0.83, -0.61}, {0.83, -0.61}};

double Worked(const Plan& plan, const TextureScales& rule, const std::string& what) {
    RulePosition at = STARTING[plan.rule];
    for (const PlanStep& step : plan.steps) {
        EXPECT_EQ(step.rule, plan.rule) << what;
        if (step.reads) continue;
        if (step.movesSlide) {
            EXPECT_LE(std::fabs(step.target), SLIDE_REACH + 1e-9) << what << ": " << step.caption;
            at.slide = step.target;
        } else {
            EXPECT_GE(step.target, HAIRLINE_REACH_LOW - 1e-9) << what << ": " << step.caption;
            EXPECT_LE(step.target, HAIRLINE_REACH_HIGH + 1e-9) << what << ": " << step.caption;
            at.hairline = step.target;
        }
    }
    EXPECT_TRUE(!plan.steps.empty() && plan.steps.back().reads) << what;
    const std::vector<const ScaleDefinition*>& strip = rule.strips[plan.answerStrip];
    EXPECT_NE(std::find(strip.begin(), strip.end(), plan.answerScale), strip.end()) << what;
    double reading = 0.0;
    EXPECT_TRUE(ValueAtPosition(*plan.answerScale,
                                plan.answerStrip == STRIP_SLIDE ? at.hairline - at.slide : at.hairline, &reading))
        << what;
    return reading * std::pow(10.0, plan.decimalExponent) + plan.characteristic;
}

// Each calculation worked on the default rules and two models: the rule and
// answer scale it ends on ("-": neither rule can do it), and the answer read
// there within 0.2 %.
TEST(Planning, CalculationsWorkedOnTheRulesReadTheirValue) {
    struct Case {
        const char* calculation;
        const char* endsOn[3];  // by RULES
        const char* says;       // in some caption
    };
    const Case cases[] = {
        {"2*3", {"0 D", "0 D", "0 D"}, "Move the hairline to 3 on C"},
        {"6/3", {"0 D", "0 D", "0 D"}, "Bring 3 on C under the hairline"},
        {"3.7*4.2/1.9", {"0 D", "0 D", "0 D"}, "Read the answer on D under the hairline: 8.179"},
        {"4*5", {"0 D", "0 D", "0 D"}, "Bring C's 10 (right index) under the hairline"},
        {"25*4", {"0 D", "0 D", "0 D"}, "the decimal point makes it 100.0"},
        {"2.5^2", {"0 A", "0 A", "0 A"}, "Set the hairline over 2.5 on D"},
        {"sqrt(5)", {"0 D", "0 D", "0 D"}, "Set the hairline over 5 on A"},
        {"sqrt(50)", {"0 D", "0 D", "0 D"}, "Set the hairline over 50 on A"},
        {"8^(1/3)", {"0 D", "0 D", "0 D"}, "Set the hairline over 8 on K"},
        {"1/7", {"0 CI", "0 CI", "0 CI"}, "Set the hairline over 7 on C"},
        {"pi*2.5^2", {"0 D", "0 D", "0 D"}, "Set the hairline over pi (3.142) on D"},
        {"sin(30)", {"1 C", "0 D", "1 C"}, "Set the hairline over 30 on S"},
        {"tan(20)", {"1 C", "1 D", "1 C"}, "Set the hairline over 20 on T"},
        {"log(2)", {"0 L", "0 L", "-"}, "Read the answer on L under the hairline: 0.3010"},
        {"e^0.5", {"1 LL2", "1 LL2", "0 LL2"}, "over 5 on D (for 0.5: LL2 holds e^(x/10) over x on D)"},
        {"1.05^12", {"1 LL2", "1 LL2", "-"}, "Move the hairline to 1.2 on C (for 12)"},
        {"2*3*4*5/6/7", {"0 D", "0 D", "0 D"}, "Move the hairline to C's 1"},
        {"1/(2.5*4)", {"0 D", "0 D", "0 D"}, "Set the hairline over 1 on D"},
        {"3^2*7", {"0 D", "0 D", "0 D"}, ""},
        {"cos(60)", {"1 C", "0 D", "1 C"}, "cos x = sin(90 - x)"},
        {"tan(70)", {"-", "-", "-"}, ""},
        {"log(350)", {"0 L", "0 L", "-"}, "with the whole part 2 the log is 2.544"},
        {"ln(5)", {"1 D", "1 D", "0 D"}, "Set the hairline over 5 on LL3"},
        {"2^1.5", {"1 LL3", "1 LL3", "0 LL3"}, "Move the hairline to 1.5 on C"},
    };
    for (int r = 0; r < 3; ++r) {
        const ScaleMap map = MapOf(RULES[r]);
        for (const Case& c : cases) {
            const std::string what = std::string(RULES[r].name) + ": " + c.calculation;
            const Command calculation = Parsed(c.calculation);
            const Plan plan = PlanCalculation(calculation, map.textures, 0);
            const std::string endsOn =
                plan.possible ? std::to_string(plan.rule) + " " + plan.answerScale->name : std::string("-");
            EXPECT_EQ(endsOn, c.endsOn[r]) << what << ": " << plan.message;
            if (!plan.possible) continue;
            const double exact = EvaluateCalculation(calculation);
            EXPECT_NEAR(Worked(plan, map.textures[plan.rule], what), exact, 2e-3 * exact) << what;
            // Told where the parts stand, the plan may leave the slide there.
            const Plan fromHere = PlanCalculation(calculation, map.textures, 0, STARTING);
            EXPECT_NEAR(Worked(fromHere, map.textures[fromHere.rule], what + " from here"), exact, 2e-3 * exact);
            std::string captions;
            for (const PlanStep& step : plan.steps) captions += step.caption + "\n";
            if (r == 0) {
                EXPECT_NE(captions.find(c.says), std::string::npos) << what << ":\n" << captions;
            }
        }
    }
}

// Scales read on the slide are read where it stands, when the plan is told.
TEST(Planning, TheSlideStaysWhereItCan) {
    const ScaleMap map = MapOf(RULES[0]);
    for (const char* calculation : {"sin(30)", "1/7"}) {
        const Plan closing = PlanCalculation(Parsed(calculation), map.textures, 0);
        const Plan staying = PlanCalculation(Parsed(calculation), map.textures, 0, STARTING);
        ASSERT_EQ(closing.steps.size(), 3u) << calculation;
        EXPECT_TRUE(closing.steps[0].movesSlide && closing.steps[0].target == 0.0) << calculation;
        ASSERT_EQ(staying.steps.size(), 2u) << calculation;
        EXPECT_NEAR(staying.steps[0].target, closing.steps[1].target + STARTING[0].slide, 1e-12) << calculation;
    }
}

TEST(Planning, WhatNoRuleCanDoIsSaidPlainly) {
    const char* cases[][2] = {
        {"2+3", "2+3: the rule multiplies and divides but does not add or subtract; work out each term on the rule "
                "and add them by hand"},
        {"2*-3", "2*-3 is negative: the rule's scales hold positive numbers only; work it out without the sign and "
                 "put the sign back by hand"},
        {"sqrt(0-4)", "sqrt(0-4): the rule multiplies and divides but does not add or subtract; work out each term "
                      "on the rule and add them by hand"},
        {"log(0)", "log(0) has no value"},
        {"sin(2)", "sin(2): 2 is off S: S runs from 5.739 to 90"},
        {"sqrt(2*3)", "sqrt(2*3): work out what is inside sqrt( ) first: the rule takes a function of a number it "
                      "can set"},
        {"2*sqrt(5)", "2*sqrt(5): the rule works one step at a time: work out sqrt(5) first and go on with its result"},
        {"e^20", "e^20: the power 485200000 lies beyond this rule's LL scales"},
    };
    const ScaleMap map = MapOf(RULES[0]);
    for (const auto& c : cases) {
        const Plan plan = PlanCalculation(Parsed(c[0]), map.textures, 0);
        EXPECT_FALSE(plan.possible) << c[0];
        EXPECT_EQ(plan.message, c[1]) << c[0];
    }
    // Scales neither rule has, and rules without a map.
    const ScaleMap elektro = MapOf(RULES[2]);
    EXPECT_EQ(PlanCalculation(Parsed("log(2)"), elektro.textures, 0).message, "log(2) needs L with D or C on one rule");
    const TextureScales unknown[2] = {};
    EXPECT_EQ(PlanCalculation(Parsed("2*3"), unknown, 0).message,
              "neither rule's scales are known: their textures have no scale map");
}

TEST(Planning, SettingsTakeOneStep) {
    struct Case {
        const char* line;
        int rule;
        double slide;      // where the slide stands
        double target;     // the step's
        const char* said;  // the caption, or the error
    };
    const Case cases[] = {
        {"D 2.5", 0, 0.3, std::log10(2.5), "Set the hairline over 2.5 on D"},
        {"CI 4", 0, 0.2, 1.2 - std::log10(4.0), "Set the hairline over 4 on CI"},
        {"ll2 1.5", 1, 0.0, std::log10(10 * std::log(1.5)), "Set the hairline over 1.5 on LL2"},
        {"C 10 over D 4", 0, 0.5, std::log10(4.0) - 1.0, "Bring C's 10 (right index) to 4 on D"},
        {"D 2 over C 1", 0, 0.5, std::log10(2.0), "Bring C's 1 (left index) to 2 on D"},
        {"K 4000", 0, 0.0, 0, "4000 is off K: K runs from 1 to 1000"},
        {"Q 4", 0, 0.0, 0, "unknown scale 'Q'; this rule has K A B CI C D L"},
        {"W1 2", 0, 0.0, 0, "this rule has no W1; it has K A B CI C D L"},
        {"C 9 over CI 2", 0, 0.0, 0, "C and CI are both on the slide; 'over' sets a slide scale against a body scale"},
        {"C 8", 0, 0.5, 0, "8 on C lies beyond the hairline's reach with the slide where it is; move the slide first"},
    };
    const ScaleMap map = MapOf(RULES[0]);
    for (const Case& c : cases) {
        PlanStep step;
        std::string error;
        const bool planned = PlanSetting(Parsed(c.line), map.textures[c.rule], c.slide, &step, &error);
        EXPECT_EQ(planned ? step.caption : error, c.said) << c.line;
        if (planned) {
            EXPECT_NEAR(step.target, c.target, 1e-9) << c.line;
        }
    }
}

// The same state gives the same problems, here and on every platform; each
// is one the rules can work, and its plan reads its answer.
TEST(Practice, ASeedGivesTheSameProblemsEverywhere) {
    const char* first[] = {"sin(46)", "410*0.15", "sin(25)", "e^2.5", "log(910)", "sin(74)", "e^3.9", "e^0.9"};
    const ScaleMap shipped = MapOf(RULES[0]);
    uint32_t state = 7;
    for (const char* text : first) EXPECT_EQ(MakeProblem(&state, shipped.textures, 0).text, text);
    for (const Rules& rules : RULES) {
        const ScaleMap map = MapOf(rules);
        state = 1;
        for (int k = 0; k < 40; ++k) {
            const Problem problem = MakeProblem(&state, map.textures, 1);
            const std::string what = std::string(rules.name) + ": " + problem.text;
            ASSERT_TRUE(problem.plan.possible) << what;
            EXPECT_NE(problem.where.find(std::string("hairline on ") + problem.plan.answerScale->name),
                      std::string::npos)
                << what;
            const double exact = EvaluateCalculation(problem.calculation);
            EXPECT_NEAR(Worked(problem.plan, map.textures[problem.plan.rule], what), exact, 2e-3 * exact);
        }
    }
}

TEST(Practice, ReadingsAreJudgedToTheGraduation) {
    struct Tolerance {
        const char* scale;
        double value;
        double width;  // of the finest graduation there
    };
    const Tolerance tolerances[] = {
        {"D", 1.5, 0.01}, {"D", 8.18, 0.05}, {"A", 50, 0.5}, {"LL3", 100, 5}, {"L", 0.3, 0.005},
    };
    for (const Tolerance& t : tolerances) {
        EXPECT_NEAR(ReadingTolerance(*FindScale(t.scale), t.value), t.width, 1e-9) << t.scale << " " << t.value;
    }
    struct Case {
        const char* calculation;
        double reading;
        bool right;
        const char* message;
    };
    const Case cases[] = {
        {"3.7*4.2/1.9", 8.18, true, "Right: D reads 8.18 (exact 8.17895)"},
        {"3.7*4.2/1.9", 7.95, false, "Not quite: you left 7.95 on D; the answer is 8.179 (8.17895)"},
        {"25*4", 1.002, true, "Right: D reads 1.002, so the answer is 100.2 (exact 100)"},
        {"25*4", 1.05, false, "Not quite: you left 1.050 on D; D should read 1.000, so the answer is 100.0 (100)"},
        {"log(350)", 0.545, true, "Right: L reads 0.545, so the log is 2.545 (exact 2.54407)"},
        {"sin(30)", 5.1, false, "Not quite: you left 5.10 on C; C should read 5.000, so the answer is 0.500 (0.5)"},
    };
    const ScaleMap map = MapOf(RULES[0]);
    for (const Case& c : cases) {
        Problem problem;
        std::string error;
        ASSERT_TRUE(MakeProblemFrom(c.calculation, map.textures, 0, &problem, &error)) << error;
        std::string message;
        EXPECT_EQ(CheckAnswer(problem, c.reading, &message), c.right) << c.calculation << " " << c.reading;
        EXPECT_EQ(message, c.message) << c.calculation << " " << c.reading;
    }
    Problem problem;
    std::string error;
    EXPECT_FALSE(MakeProblemFrom("2+3", map.textures, 0, &problem, &error));
    EXPECT_EQ(error, "2+3: the rule multiplies and divides but does not add or subtract; work out each term on the "
                     "rule and add them by hand");
}

}  // namespace
