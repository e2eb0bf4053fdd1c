#include "scales/scales.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RADIANS_PER_DEGREE = PI / 180.0;

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
// Further up and down the same ladder: LL0 holds e^(x/1000) and LL00
// e^(x/10000); the reciprocal scales LL01, LL02 and LL03 hold e^(-x/100),
// e^(-x/10) and e^-x, so they run right to left.
double PositionLL0(double v) { return std::log10(1000.0 * std::log(v)); }
double PositionLL00(double v) { return std::log10(10000.0 * std::log(v)); }
double PositionLL01(double v) { return std::log10(-100.0 * std::log(v)); }
double PositionLL02(double v) { return std::log10(-10.0 * std::log(v)); }
double PositionLL03(double v) { return std::log10(-std::log(v)); }
// Folded at pi: CF and DF are C and D moved left by log pi, so that they
// start and end at pi and their 1 (here 10) lies mid-rule; CIF is CI moved
// the same way. The values run from pi to 10 pi (CIF: 10/pi to 100/pi).
double PositionCF(double v) { return std::log10(v / PI); }
double PositionCIF(double v) { return 1.0 - std::log10(v * PI / 10.0); }
// Pythagorean: x lies where D shows 10 sqrt(1 - x^2); right to left.
double PositionP(double v) { return std::log10(10.0 * std::sqrt(1.0 - v * v)); }
// Square roots at double length: x lies where D shows x^2 (W2: a tenth of it).
double PositionW1(double v) { return 2.0 * std::log10(v); }
double PositionW2(double v) { return 2.0 * std::log10(v) - 1.0; }
// Hyperbolic functions read against D: Sh1 holds x where D shows 10 sinh x,
// Sh2 where D shows sinh x, Th where D shows 10 tanh x.
double PositionSh1(double v) { return std::log10(10.0 * std::sinh(v)); }
double PositionSh2(double v) { return std::log10(std::sinh(v)); }
double PositionTh(double v) { return std::log10(10.0 * std::tanh(v)); }

std::vector<double> Decades(int count) {
    std::vector<double> majors;
    double decade = 1.0;
    for (int d = 0; d < count; ++d, decade *= 10.0) {
        for (int digit = 1; digit <= 9; ++digit) majors.push_back(digit * decade);
    }
    majors.push_back(decade);
    return majors;
}

// The folded scales' majors: 3 to 10 and 10 to 40. 3 and 40 only bound the
// intervals: CF and DF end at their pi marks, CIF at 10/pi and 100/pi.
std::vector<double> Folded() { return {3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40}; }

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
        {"LL0", "e^0.001x", PositionLL0, std::exp(0.001), std::exp(0.01),
         {1.001, 1.0015, 1.002, 1.0025, 1.003, 1.0035, 1.004, 1.005, 1.006, 1.007, 1.008, 1.009, 1.01, 1.011},
         LabelStyle::Value, false},
        {"LL00", "e^0.0001x", PositionLL00, std::exp(0.0001), std::exp(0.001),
         {1.0001, 1.00015, 1.0002, 1.00025, 1.0003, 1.00035, 1.0004, 1.0005, 1.0006, 1.0007, 1.0008, 1.0009, 1.001,
          1.0011},
         LabelStyle::Value, false},
        {"LL01", "e^-0.01x", PositionLL01, std::exp(-0.1), std::exp(-0.01),
         {0.9, 0.91, 0.92, 0.93, 0.94, 0.95, 0.96, 0.97, 0.98, 0.985, 0.99, 0.995}, LabelStyle::Value, true},
        {"LL02", "e^-0.1x", PositionLL02, std::exp(-1.0), std::exp(-0.1),
         {0.35, 0.4, 0.45, 0.5, 0.55, 0.6, 0.65, 0.7, 0.75, 0.8, 0.85, 0.9, 0.95}, LabelStyle::Value, true},
        {"LL03", "e^-x", PositionLL03, std::exp(-10.0), std::exp(-1.0),
         {0.00004, 0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.15, 0.2, 0.25, 0.3, 0.35,
          0.4},
         LabelStyle::Value, true},
        {"CF", "\xCF\x80x", PositionCF, PI, 10.0 * PI, Folded(), LabelStyle::LeadingDigit, false,
         {{PI, "\xCF\x80"}, {10.0 * PI, "\xCF\x80"}}},
        {"DF", "\xCF\x80x", PositionCF, PI, 10.0 * PI, Folded(), LabelStyle::LeadingDigit, false,
         {{PI, "\xCF\x80"}, {10.0 * PI, "\xCF\x80"}}},
        {"CIF", "1/\xCF\x80x", PositionCIF, 10.0 / PI, 100.0 / PI, Folded(), LabelStyle::LeadingDigit, true},
        {"P", "\xE2\x88\x9A(1-x\xC2\xB2)", PositionP, 0.0, std::sqrt(0.99),
         {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 0.98, 0.99, 0.995}, LabelStyle::Value, true},
        {"W1", "\xE2\x88\x9Ax", PositionW1, 1.0, std::sqrt(10.0),
         {1, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2, 2.2, 2.4, 2.6, 2.8, 3, 3.2}, LabelStyle::Value, false},
        {"W2", "\xE2\x88\x9Ax", PositionW2, std::sqrt(10.0), 10.0,
         {3, 3.5, 4, 4.5, 5, 5.5, 6, 7, 8, 9, 10}, LabelStyle::Value, false},
        {"Sh1", "sinh", PositionSh1, std::asinh(0.1), std::asinh(1.0),
         {0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.45, 0.5, 0.6, 0.7, 0.8, 0.9}, LabelStyle::Value, false},
        {"Sh2", "sinh", PositionSh2, std::asinh(1.0), std::asinh(10.0),
         {0.8, 0.9, 1, 1.2, 1.4, 1.6, 1.8, 2, 2.5, 3}, LabelStyle::Value, false},
        {"Th", "tanh", PositionTh, std::atanh(0.1), 3.0,
         {0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.45, 0.5, 0.6, 0.7, 0.8, 0.9, 1, 1.5, 2, 3}, LabelStyle::Value,
         false},
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

bool ValueAtPosition(const ScaleDefinition& scale, double position, double* value) {
    double low = scale.low;
    double high = scale.high;
    const double atLow = scale.position(low);
    const double atHigh = scale.position(high);
    const bool rising = atHigh >= atLow;
    // Positions a hair beyond an end still read as the end.
    constexpr double END_TOLERANCE = 1e-9;
    if (position < std::min(atLow, atHigh) - END_TOLERANCE || position > std::max(atLow, atHigh) + END_TOLERANCE) {
        return false;
    }
    // Every position function rises or falls throughout its scale.
    for (int step = 0; step < 200 && high - low > 1e-15 * std::max(1.0, std::fabs(high)); ++step) {
        const double middle = 0.5 * (low + high);
        if ((scale.position(middle) < position) == rising) {
            low = middle;
        } else {
            high = middle;
        }
    }
    *value = 0.5 * (low + high);
    return true;
}

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
    for (const NamedMark& named : scale.named) {
        const double position = scale.position(named.value);
        marks.erase(std::remove_if(marks.begin(), marks.end(),
                                   [&](const ScaleMark& mark) {
                                       return std::fabs(mark.position - position) * indexLength < minSpacing;
                                   }),
                    marks.end());
        marks.push_back(ScaleMark{named.value, position, 0});
    }
    std::sort(marks.begin(), marks.end(), [](const ScaleMark& a, const ScaleMark& b) { return a.value < b.value; });
    return marks;
}

std::string FormatMinorLabel(double value) {
    // As few decimals as give the value back (1.000105, 0.00005), never an
    // exponent.
    char text[64];
    for (int decimals = 0; decimals <= 12; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::fabs(std::strtod(text, nullptr) - value) <= 1e-9 * std::fabs(value)) break;
    }
    return text;
}

std::string FormatMajorLabel(const ScaleDefinition& scale, double value) {
    for (const NamedMark& named : scale.named) {
        if (named.value == value) return named.label;
    }
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
