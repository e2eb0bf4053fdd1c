#include "tools/rulegen/scales.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;

double PositionC(double v) { return std::log10(v); }
double PositionCI(double v) { return 1.0 - std::log10(v); }
double PositionA(double v) { return std::log10(v) / 2.0; }
double PositionK(double v) { return std::log10(v) / 3.0; }
double PositionL(double v) { return v; }
// Sines and tangents of angles in degrees, read against C and D: the value
// 10 sin x lies where C has it.
double PositionS(double v) { return std::log10(10.0 * std::sin(v * RADIANS_PER_DEGREE)); }
double PositionT(double v) { return std::log10(10.0 * std::tan(v * RADIANS_PER_DEGREE)); }
// Small angles: sin x and tan x both about x in radians, read against C as
// 100 x.
double PositionST(double v) { return std::log10(100.0 * v * RADIANS_PER_DEGREE); }
// The log-log scales read against D: LL3 holds e^x, LL2 e^(x/10) and LL1
// e^(x/100) for the value x on D.
double PositionLL3(double v) { return std::log10(std::log(v)); }
double PositionLL2(double v) { return std::log10(10.0 * std::log(v)); }
double PositionLL1(double v) { return std::log10(100.0 * std::log(v)); }

std::vector<double> Decades(int count) {
    std::vector<double> majors;
    double decade = 1.0;
    for (int d = 0; d < count; ++d, decade *= 10.0) {
        for (int digit = 1; digit <= 9; ++digit) majors.push_back(digit * decade);
    }
    majors.push_back(decade);
    return majors;
}

std::vector<double> Tenths() {
    std::vector<double> majors;
    for (int k = 0; k <= 10; ++k) majors.push_back(k / 10.0);
    return majors;
}

const std::vector<ScaleDefinition>& Catalogue() {
    const double e = std::exp(1.0);
    static const std::vector<ScaleDefinition> scales = {
        {"C", "x", PositionC, 1.0, 10.0, Decades(1), LabelStyle::LeadingDigit, false},
        {"D", "x", PositionC, 1.0, 10.0, Decades(1), LabelStyle::LeadingDigit, false},
        {"CI", "1/x", PositionCI, 1.0, 10.0, Decades(1), LabelStyle::LeadingDigit, true},
        {"DI", "1/x", PositionCI, 1.0, 10.0, Decades(1), LabelStyle::LeadingDigit, true},
        {"A", "x\xC2\xB2", PositionA, 1.0, 100.0, Decades(2), LabelStyle::LeadingDigit, false},
        {"B", "x\xC2\xB2", PositionA, 1.0, 100.0, Decades(2), LabelStyle::LeadingDigit, false},
        {"K", "x\xC2\xB3", PositionK, 1.0, 1000.0, Decades(3), LabelStyle::LeadingDigit, false},
        {"L", "lg x", PositionL, 0.0, 1.0, Tenths(), LabelStyle::Tenths, false},
        {"S", "sin", PositionS, std::asin(0.1) / RADIANS_PER_DEGREE, 90.0,
         {5, 6, 7, 8, 9, 10, 15, 20, 25, 30, 40, 50, 60, 70, 80, 90}, LabelStyle::Value, false},
        {"T", "tan", PositionT, std::atan(0.1) / RADIANS_PER_DEGREE, 45.0,
         {5, 6, 7, 8, 9, 10, 15, 20, 25, 30, 35, 40, 45}, LabelStyle::Value, false},
        {"ST", "arc", PositionST, 0.1 / RADIANS_PER_DEGREE / 10.0, 1.0 / RADIANS_PER_DEGREE / 10.0,
         {0.5, 0.6, 0.7, 0.8, 0.9, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6}, LabelStyle::Value, false},
        {"LL1", "e^0.01x", PositionLL1, std::exp(0.01), std::exp(0.1),
         {1.01, 1.015, 1.02, 1.025, 1.03, 1.035, 1.04, 1.05, 1.06, 1.07, 1.08, 1.09, 1.1, 1.11},
         LabelStyle::Value, false},
        {"LL2", "e^0.1x", PositionLL2, std::exp(0.1), e,
         {1.1, 1.12, 1.14, 1.16, 1.18, 1.2, 1.25, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2, 2.5, 3},
         LabelStyle::Value, false},
        {"LL3", "e^x", PositionLL3, e, std::exp(10.0),
         {2.5, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 30, 40, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 30000},
         LabelStyle::Value, false},
    };
    return scales;
}

// A value counts as inside the scale within this relative margin, so that
// majors computed in floating point at the ends are kept.
bool Covers(const ScaleDefinition& scale, double value) {
    const double margin = 1e-9 * std::max(1.0, std::fabs(scale.high));
    return value >= scale.low - margin && value <= scale.high + margin;
}

// Round steps (1, 2 or 5 times a power of ten) that cut an interval of the
// given length into 2 to 10 equal parts, coarsest first.
std::vector<double> CandidateSteps(double length) {
    std::vector<double> steps;
    const int top = static_cast<int>(std::floor(std::log10(length)));
    for (int exponent = top; exponent >= top - 3; --exponent) {
        for (double mantissa : {5.0, 2.0, 1.0}) {
            const double step = mantissa * std::pow(10.0, exponent);
            const double parts = length / step;
            const double whole = std::round(parts);
            if (whole >= 2 && whole <= 10 && std::fabs(parts - whole) < 1e-6 * whole) steps.push_back(step);
        }
    }
    return steps;
}

struct Interval {
    double from;
    double to;
};

// Whether cutting every interval into steps keeps the marks that fall inside
// the scale at least minSpacing apart on the rule.
bool StepFits(const ScaleDefinition& scale, const std::vector<Interval>& intervals, double step, double indexLength,
              double minSpacing) {
    for (const Interval& interval : intervals) {
        const int parts = static_cast<int>(std::lround((interval.to - interval.from) / step));
        for (int k = 0; k < parts; ++k) {
            const double a = interval.from + k * step;
            const double b = interval.from + (k + 1) * step;
            if (!Covers(scale, a) && !Covers(scale, b)) continue;
            const double pa = scale.position(a);
            const double pb = scale.position(b);
            if (!std::isfinite(pa) || !std::isfinite(pb)) continue;
            if (std::fabs(pb - pa) * indexLength < minSpacing) return false;
        }
    }
    return true;
}

constexpr int DEEPEST_LEVEL = 3;

// Every interval cut into pieces of one step.
std::vector<Interval> Cut(const std::vector<Interval>& intervals, double step) {
    std::vector<Interval> pieces;
    for (const Interval& interval : intervals) {
        const int parts = static_cast<int>(std::lround((interval.to - interval.from) / step));
        for (int k = 0; k < parts; ++k) {
            pieces.push_back(Interval{interval.from + (interval.to - interval.from) * k / parts,
                                      interval.from + (interval.to - interval.from) * (k + 1) / parts});
        }
    }
    return pieces;
}

// The finest step that the intervals (all of one length) can be cut down to
// from this level on, and the step to cut them with now to get there (0 for
// none). A coarser cut now can allow a finer one later (an interval of 0.005
// cut in fifths can be cut in fifths again where tenths leave no room), so
// every fitting step is tried; of equal results the finer cut now wins.
double PlanCut(const ScaleDefinition& scale, const std::vector<Interval>& intervals, int level, double indexLength,
               double minSpacing, double* stepNow) {
    const double length = intervals[0].to - intervals[0].from;
    *stepNow = 0.0;
    if (level > DEEPEST_LEVEL) return length;
    double finest = length;
    std::vector<double> steps = CandidateSteps(length);
    std::reverse(steps.begin(), steps.end());
    for (double step : steps) {
        if (!StepFits(scale, intervals, step, indexLength, minSpacing)) continue;
        double unused = 0.0;
        const double reach = PlanCut(scale, Cut(intervals, step), level + 1, indexLength, minSpacing, &unused);
        if (reach < finest * (1.0 - 1e-9)) {
            finest = reach;
            *stepNow = step;
        }
    }
    return finest;
}

// Cuts the intervals of one level, all of one length, as the plan says,
// emits the new marks and goes on with the pieces.
void Subdivide(const ScaleDefinition& scale, const std::vector<Interval>& intervals, int level, double indexLength,
               double minSpacing, std::vector<ScaleMark>* marks) {
    if (level > DEEPEST_LEVEL || intervals.empty()) return;
    double step = 0.0;
    PlanCut(scale, intervals, level, indexLength, minSpacing, &step);
    if (step == 0.0) return;
    const int parts = static_cast<int>(std::lround((intervals[0].to - intervals[0].from) / step));
    const std::vector<Interval> pieces = Cut(intervals, step);
    for (size_t k = 0; k < pieces.size(); ++k) {
        const int inInterval = static_cast<int>(k % parts);
        const double value = pieces[k].from;
        if (inInterval > 0 && Covers(scale, value)) {
            const int lengthClass = 2 * level - ((parts == 10 && inInterval == 5) ? 1 : 0);
            marks->push_back(ScaleMark{value, scale.position(value), lengthClass});
        }
    }
    Subdivide(scale, pieces, level + 1, indexLength, minSpacing, marks);
}

}  // namespace

const ScaleDefinition* FindScale(const std::string& name) {
    for (const ScaleDefinition& scale : Catalogue()) {
        if (name == scale.name) return &scale;
    }
    return nullptr;
}

std::string KnownScaleNames() {
    std::string names;
    for (const ScaleDefinition& scale : Catalogue()) {
        if (!names.empty()) names += ' ';
        names += scale.name;
    }
    return names;
}

std::vector<ScaleMark> MakeScaleMarks(const ScaleDefinition& scale, double indexLength, double minSpacing) {
    std::vector<ScaleMark> marks;
    for (size_t k = 0; k < scale.majors.size(); ++k) {
        const double major = scale.majors[k];
        if (Covers(scale, major)) marks.push_back(ScaleMark{major, scale.position(major), 0});
        if (k + 1 < scale.majors.size()) {
            // Each major interval decides its own cuts, level by level, so
            // the marks are even within it.
            Subdivide(scale, {Interval{major, scale.majors[k + 1]}}, 1, indexLength, minSpacing, &marks);
        }
    }
    std::sort(marks.begin(), marks.end(), [](const ScaleMark& a, const ScaleMark& b) { return a.value < b.value; });
    return marks;
}

std::string FormatMinorLabel(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string FormatMajorLabel(const ScaleDefinition& scale, double value) {
    char text[32];
    switch (scale.labelStyle) {
    case LabelStyle::LeadingDigit: {
        const double decade = std::pow(10.0, std::floor(std::log10(value) + 1e-9));
        const long digit = std::lround(value / decade);
        if (digit == 1) std::snprintf(text, sizeof text, "%g", value);
        else std::snprintf(text, sizeof text, "%ld", digit);
        return text;
    }
    case LabelStyle::Tenths:
        std::snprintf(text, sizeof text, "%ld", std::lround(value * 10.0));
        return text;
    case LabelStyle::Value:
        break;
    }
    return FormatMinorLabel(value);
}
