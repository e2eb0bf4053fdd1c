// The scales' marks: subdivided as real rules are, never too close, never
// outside the scale.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "scales/scales.h"

namespace {

// The step between the marks just above a value (the finest there).
double StepAbove(const std::vector<ScaleMark>& marks, double value) {
    for (size_t k = 0; k + 1 < marks.size(); ++k) {
        if (marks[k].value >= value - 1e-9) return marks[k + 1].value - marks[k].value;
    }
    return 0.0;
}

TEST(Scales, DIsCutAsAClassicRuleIs) {
    // Finer where the scale is stretched: hundredths from 1 to 2,
    // fiftieths to 4, twentieths to 10.
    const std::vector<ScaleMark> marks = MakeScaleMarks(*FindScale("D"), INDEX_LENGTH, MIN_MARK_SPACING);
    EXPECT_NEAR(StepAbove(marks, 1.0), 0.01, 1e-9);
    EXPECT_NEAR(StepAbove(marks, 1.98), 0.01, 1e-9);
    EXPECT_NEAR(StepAbove(marks, 2.0), 0.02, 1e-9);
    EXPECT_NEAR(StepAbove(marks, 3.9), 0.02, 1e-9);
    EXPECT_NEAR(StepAbove(marks, 4.0), 0.05, 1e-9);
    EXPECT_NEAR(StepAbove(marks, 9.9), 0.05, 1e-9);
    EXPECT_EQ(marks.size(), 100u + 50u + 50u + 120u + 1u);
    // Majors at 1 to 10, the middle of each tenth a little longer.
    for (const ScaleMark& mark : marks) {
        const bool whole = std::fabs(mark.value - std::round(mark.value)) < 1e-9;
        EXPECT_EQ(mark.lengthClass == 0, whole) << mark.value;
        if (std::fabs(mark.value - 1.5) < 1e-9) {
            EXPECT_EQ(mark.lengthClass, 1);
        }
    }
}

TEST(Scales, EveryScaleKeepsItsMarksApartAndInside) {
    std::istringstream names(KnownScaleNames());
    std::string name;
    int scales = 0;
    while (names >> name) {
        const ScaleDefinition& scale = *FindScale(name);
        const std::vector<ScaleMark> marks = MakeScaleMarks(scale, INDEX_LENGTH, MIN_MARK_SPACING);
        ASSERT_GT(marks.size(), 50u) << name;
        // Drawn red exactly when it runs right to left.
        EXPECT_EQ(scale.inverse, marks.back().position < marks.front().position) << name;
        for (size_t k = 0; k < marks.size(); ++k) {
            EXPECT_GE(marks[k].value, scale.low - 1e-9) << name;
            EXPECT_LE(marks[k].value, scale.high * (1 + 1e-9)) << name;
            EXPECT_GE(marks[k].position, -1e-9) << name << " " << marks[k].value;
            EXPECT_LE(marks[k].position, 1 + 1e-9) << name << " " << marks[k].value;
            EXPECT_DOUBLE_EQ(marks[k].position, scale.position(marks[k].value));
            if (k > 0) {
                EXPECT_GT(marks[k].value, marks[k - 1].value) << name;
                const double apart = std::fabs(marks[k].position - marks[k - 1].position) * INDEX_LENGTH;
                EXPECT_GE(apart, MIN_MARK_SPACING * (1 - 1e-9)) << name << " at " << marks[k].value;
            }
        }
        ++scales;
    }
    EXPECT_GE(scales, 12);
}

TEST(Scales, FunctionsMatchTheirDefinitions) {
    EXPECT_NEAR(FindScale("C")->position(2.0), std::log10(2.0), 1e-15);
    EXPECT_NEAR(FindScale("CI")->position(2.0), 1 - std::log10(2.0), 1e-15);
    EXPECT_NEAR(FindScale("A")->position(4.0), FindScale("D")->position(2.0), 1e-15);
    EXPECT_NEAR(FindScale("K")->position(8.0), FindScale("D")->position(2.0), 1e-15);
    EXPECT_NEAR(FindScale("S")->position(30.0), FindScale("D")->position(5.0), 1e-12);
    EXPECT_NEAR(FindScale("T")->position(45.0), 1.0, 1e-12);
    EXPECT_NEAR(FindScale("LL3")->position(std::exp(2.0)), FindScale("D")->position(2.0), 1e-12);
    EXPECT_NEAR(FindScale("LL2")->position(std::exp(0.2)), FindScale("D")->position(2.0), 1e-12);
    EXPECT_NEAR(FindScale("LL1")->position(std::exp(0.02)), FindScale("D")->position(2.0), 1e-12);
    // The further scales, each where D shows what it stands for.
    const auto onD = [](double value) { return FindScale("D")->position(value); };
    const double pi = 3.14159265358979323846;
    EXPECT_NEAR(FindScale("DF")->position(2 * pi), onD(2.0), 1e-12);
    EXPECT_NEAR(FindScale("CF")->position(20.0), onD(20.0 / pi), 1e-12);
    EXPECT_NEAR(FindScale("CIF")->position(5.0), FindScale("CF")->position(20.0), 1e-12);  // 5 x 20 = 100
    EXPECT_NEAR(FindScale("P")->position(0.6), onD(8.0), 1e-12);                            // sqrt(1 - 0.36)
    EXPECT_NEAR(FindScale("W1")->position(2.0), onD(4.0), 1e-12);
    EXPECT_NEAR(FindScale("W2")->position(5.0), onD(2.5), 1e-12);
    EXPECT_NEAR(FindScale("LL0")->position(std::exp(0.002)), onD(2.0), 1e-9);
    EXPECT_NEAR(FindScale("LL00")->position(std::exp(0.0002)), onD(2.0), 1e-9);
    EXPECT_NEAR(FindScale("LL01")->position(std::exp(-0.02)), onD(2.0), 1e-9);
    EXPECT_NEAR(FindScale("LL02")->position(std::exp(-0.2)), onD(2.0), 1e-12);
    EXPECT_NEAR(FindScale("LL03")->position(std::exp(-2.0)), onD(2.0), 1e-12);
    EXPECT_NEAR(FindScale("Sh1")->position(std::asinh(0.5)), onD(5.0), 1e-12);
    EXPECT_NEAR(FindScale("Sh2")->position(std::asinh(5.0)), onD(5.0), 1e-12);
    EXPECT_NEAR(FindScale("Th")->position(std::atanh(0.5)), onD(5.0), 1e-12);
    EXPECT_EQ(FindScale("c"), nullptr);
    EXPECT_EQ(FormatMajorLabel(*FindScale("A"), 30.0), "3");
    EXPECT_EQ(FormatMajorLabel(*FindScale("A"), 100.0), "100");
    EXPECT_EQ(FormatMajorLabel(*FindScale("L"), 0.7), "7");
    EXPECT_EQ(FormatMajorLabel(*FindScale("LL1"), 1.025), "1.025");
    EXPECT_EQ(FormatMajorLabel(*FindScale("DF"), pi), "\xCF\x80");
    EXPECT_EQ(FormatMinorLabel(1.000105), "1.000105");
    EXPECT_EQ(FormatMinorLabel(0.00005), "0.00005");
}

}  // namespace
