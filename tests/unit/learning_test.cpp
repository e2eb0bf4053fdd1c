// Learning the rule: typed lines, plans worked on the shipped rules in the
// rules' own frame, and practice problems.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "learning/calculation.h"

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
    for (const auto& c : cases) {
        Command command;
        std::string error;
        EXPECT_FALSE(ParseCommand(c[0], &command, &error)) << c[0];
        EXPECT_EQ(error, c[1]) << c[0];
    }
}

}  // namespace
