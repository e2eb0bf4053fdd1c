#include "learning/practice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// A 32-bit linear congruential generator; its high bits are used.
uint32_t NextRandom(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

int Between(uint32_t* state, int low, int high) {
    return low + static_cast<int>(NextRandom(state) % static_cast<uint32_t>(high - low + 1));
}

// A number of two or three significant figures (no trailing zero), from a
// tenth of its first figure's decade up to hundreds: 3.7, 42, 0.19, 275.
std::string Operand(uint32_t* state) {
    const int figures = Between(state, 2, 3);
    int digits = 0;
    do {
        digits = Between(state, figures == 2 ? 11 : 101, figures == 2 ? 99 : 999);
    } while (digits % 10 == 0);
    const int decade = Between(state, -1, 2);  // of the first figure
    // Written from the digits, without arithmetic in floating point.
    std::string text = std::to_string(digits);
    const int point = decade + 1;  // digits before the decimal point
    if (point >= figures) return text + std::string(static_cast<size_t>(point - figures), '0');
    if (point <= 0) return "0." + std::string(static_cast<size_t>(-point), '0') + text;
    return text.insert(static_cast<size_t>(point), ".");
}

// A number with one decimal, not a whole one, between two numbers of
// tenths: 1.7, 0.4 (bases and exponents of powers).
std::string Tenths(uint32_t* state, int lowTenths, int highTenths) {
    int tenths = 0;
    do {
        tenths = Between(state, lowTenths, highTenths);
    } while (tenths % 10 == 0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// Every draw in a statement of its own: the order in which the operands of
// one expression are evaluated differs between compilers.
std::string DrawCalculation(uint32_t* state) {
    const int kind = Between(state, 0, 8);
    if (kind <= 2) {
        const std::string a = Operand(state);
        const std::string b = Operand(state);
        if (kind == 0) return a + "*" + b;
        if (kind == 1) return a + "/" + b;
        return a + "*" + b + "/" + Operand(state);
    }
    switch (kind) {
    case 3: return Operand(state) + "^2";
    case 4: return "sqrt(" + Operand(state) + ")";
    case 5: return "sin(" + std::to_string(Between(state, 6, 80)) + ")";
    case 6: return "log(" + Operand(state) + ")";
    case 7: {
        const std::string base = Tenths(state, 11, 30);
        return base + "^" + Tenths(state, 15, 60);
    }
    default: return "e^" + Tenths(state, 2, 40);
    }
}

const char* RuleWord(int rule) { return rule == 0 ? "upper" : "lower"; }

// A reading written to the graduation: as many decimals as half the
// tolerance needs.
std::string ToGraduation(double value, double tolerance, int decimalExponent) {
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(tolerance / 2.0) - 1e-9)));
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", std::max(0, decimals - decimalExponent),
                  value * std::pow(10.0, decimalExponent));
    return text;
}

// The exact value to six figures, large ones without an exponent.
std::string Exact(double value) { return FormatFigures(value, 6, false); }

}  // namespace

bool MakeProblemFrom(const std::string& text, const TextureScales rules[2], int preferredRule, Problem* problem,
                     std::string* error) {
    *problem = Problem{};
    problem->text = text;
    if (!ParseCommand(text, &problem->calculation, error)) return false;
    if (problem->calculation.kind != CommandKind::Calculation) {
        *error = "'" + text + "' is not a calculation";
        return false;
    }
    problem->plan = PlanCalculation(problem->calculation, rules, preferredRule);
    if (!problem->plan.possible) {
        *error = problem->plan.message;
        return false;
    }
    problem->where = std::string("On the ") + RuleWord(problem->plan.rule) +
                     " rule, leave the answer under the hairline on " + problem->plan.answerScale->name;
    return true;
}

Problem MakeProblem(uint32_t* randomState, const TextureScales rules[2], int preferredRule) {
    constexpr int TRIES = 64;  // a rule with hardly any scales turns most draws down
    Problem problem;
    std::string unused;
    for (int k = 0; k < TRIES; ++k) {
        if (MakeProblemFrom(DrawCalculation(randomState), rules, preferredRule, &problem, &unused)) break;
    }
    return problem;
}

double ReadingTolerance(const ScaleDefinition& scale, double value) {
    const std::vector<ScaleMark> marks = MakeScaleMarks(scale, INDEX_LENGTH, MIN_MARK_SPACING);
    if (marks.size() < 2) return (scale.high - scale.low) / 10.0;
    size_t next = 1;
    while (next + 1 < marks.size() && marks[next].value < value) ++next;
    return marks[next].value - marks[next - 1].value;
}

bool CheckAnswer(const Problem& problem, double readOnAnswerScale, std::string* message) {
    const Plan& plan = problem.plan;
    if (!plan.possible || plan.answerScale == nullptr) {
        *message = "There is no answer to check: " + plan.message;
        return false;
    }
    const char* scale = plan.answerScale->name;
    if (!std::isfinite(readOnAnswerScale)) {
        *message = std::string("Not quite: the hairline is off ") + scale;
        return false;
    }
    const double tolerance = ReadingTolerance(*plan.answerScale, plan.answerScaleValue);
    const bool right = std::fabs(readOnAnswerScale - plan.answerScaleValue) <= tolerance;
    const bool placed = plan.decimalExponent != 0 || plan.characteristic != 0;
    const std::string read = ToGraduation(readOnAnswerScale, tolerance, 0);
    // The answer as the reading makes it, decimal point placed.
    const auto answerOf = [&](double reading) {
        if (plan.characteristic != 0) return ToGraduation(reading + plan.characteristic, tolerance, 0);
        // No more figures than the reading has.
        if (plan.decimalExponent > 0) return FormatReading(reading * std::pow(10.0, plan.decimalExponent));
        return ToGraduation(reading, tolerance, plan.decimalExponent);
    };
    const char* what = plan.characteristic != 0 ? "the log" : "the answer";
    if (right) {
        *message = std::string("Right: ") + scale + " reads " + read +
                   (placed ? std::string(", so ") + what + " is " + answerOf(readOnAnswerScale) : "") + " (exact " +
                   Exact(plan.exact) + ")";
        return true;
    }
    *message = "Not quite: you left " + read + " on " + scale + "; ";
    if (placed) {
        *message += std::string(scale) + " should read " + FormatReading(plan.answerScaleValue) + ", so " + what +
                    " is " + answerOf(plan.answerScaleValue) + " (" + Exact(plan.exact) + ")";
    } else {
        *message += std::string(what) + " is " + FormatReading(plan.answerScaleValue) + " (" + Exact(plan.exact) + ")";
    }
    return false;
}
