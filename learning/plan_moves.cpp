#include "learning/plan_moves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double REACH_SLACK = 1e-9;
// A reading agrees with the calculation when it is this close to it, once
// its decimal point is placed: the ST scale's small angles are the least
// exact the planner uses (sin x and tan x taken as x in radians).
constexpr double AGREEMENT = 2e-3;

bool OnSlide(int strip) { return strip == STRIP_SLIDE; }

const ScaleDefinition* ExactScale(const TextureScales& scales, const char* name, int* strip) {
    for (int s = 0; s < STRIP_COUNT; ++s) {
        for (const ScaleDefinition* scale : scales.strips[s]) {
            if (std::strcmp(scale->name, name) == 0) {
                *strip = s;
                return scale;
            }
        }
    }
    return nullptr;
}

bool Covers(const ScaleDefinition& scale, double value) {
    const double margin = 1e-9 * std::max(1.0, std::fabs(scale.high));
    return value >= scale.low - margin && value <= scale.high + margin;
}

// The value moved by whole powers of `shift` into the scale's range; false
// when none lands there.
bool ShiftOnto(const ScaleDefinition& scale, double shift, double* value) {
    if (shift <= 1.0) return Covers(scale, *value);
    for (int k = 0; k < 60 && *value > scale.high && !Covers(scale, *value); ++k) *value /= shift;
    for (int k = 0; k < 60 && *value < scale.low && !Covers(scale, *value); ++k) *value *= shift;
    return Covers(scale, *value);
}

bool InReach(const PlanStep& step) {
    if (step.movesSlide) return std::fabs(step.target) <= SLIDE_REACH + REACH_SLACK;
    return step.target >= HAIRLINE_REACH_LOW - REACH_SLACK && step.target <= HAIRLINE_REACH_HIGH + REACH_SLACK;
}

void Note(PlanTry* attempt, const std::string& text) {
    if (attempt->offScale.empty()) attempt->offScale = text;
}

// Ends a plan: the answer read on `scale` with the parts where the steps
// leave them, checked against the calculation and its decimal point placed.
bool Finish(const ScaleDefinition* scale, int strip, const RulePosition& at, double exact, bool logarithm,
            std::vector<PlanStep> steps, PlanTry* attempt, Plan* plan) {
    for (const PlanStep& step : steps) {
        if (!InReach(step)) return false;
    }
    double reading = 0.0;
    if (!ValueAtPosition(*scale, OnSlide(strip) ? at.hairline - at.slide : at.hairline, &reading)) return false;
    int exponent = 0;
    int characteristic = 0;
    if (logarithm) {
        characteristic = static_cast<int>(std::lround(exact - reading));
        if (std::fabs(reading + characteristic - exact) > 1e-6) return false;
    } else {
        exponent = static_cast<int>(std::lround(std::log10(exact / reading)));
        if (std::fabs(reading * std::pow(10.0, exponent) / exact - 1.0) > AGREEMENT) return false;
    }
    std::string caption = std::string("Read the answer on ") + scale->name + " under the hairline: " +
                          FormatReading(reading);
    if (exponent != 0) caption += "; the decimal point makes it " + FormatReading(reading * std::pow(10.0, exponent));
    if (characteristic != 0) {
        caption += "; with the whole part " + std::to_string(characteristic) + " the log is " +
                   FormatReading(reading + characteristic);
    }
    steps.push_back(PlanStep{attempt->rule, false, at.hairline, caption, true});
    plan->possible = true;
    plan->message.clear();
    plan->steps = steps;
    plan->rule = attempt->rule;
    plan->answerScale = scale;
    plan->answerStrip = strip;
    plan->answerScaleValue = reading;
    plan->decimalExponent = exponent;
    plan->characteristic = characteristic;
    return true;
}

PlanStep Move(int rule, bool slide, double target, const std::string& caption) {
    return PlanStep{rule, slide, target, caption, false};
}

bool TryLookup(const Lookup& lookup, double operand, const std::string& operandText, double exact, bool logarithm,
               PlanTry* attempt, Plan* plan) {
    int inStrip = 0;
    int outStrip = 0;
    const ScaleDefinition* in = ExactScale(*attempt->scales, lookup.input, &inStrip);
    const ScaleDefinition* out = ExactScale(*attempt->scales, lookup.answer, &outStrip);
    if (in == nullptr || out == nullptr) return false;
    const double wanted = lookup.offset + lookup.factor * operand;
    double value = wanted;
    if (!ShiftOnto(*in, lookup.shift, &value)) {
        Note(attempt, OffScaleText(wanted, *in));
        return false;
    }
    std::vector<PlanStep> steps;
    RulePosition at;
    // Scales on the slide are read where it stands; a slide scale read
    // against a body scale needs the slide closed.
    const bool oneOnSlide = OnSlide(inStrip) != OnSlide(outStrip);
    at.slide = attempt->slideKnown ? attempt->slide : 0.0;
    at.hairline = in->position(value) + (OnSlide(inStrip) ? at.slide : 0.0);
    const bool stays = attempt->slideKnown && (oneOnSlide ? std::fabs(at.slide) <= REACH_SLACK
                                                          : InReach(Move(attempt->rule, false, at.hairline, "")));
    if ((OnSlide(inStrip) || OnSlide(outStrip)) && !stays) {
        at.slide = 0.0;
        at.hairline = in->position(value);
        steps.push_back(Move(attempt->rule, true, 0.0, "Close the slide, its ends level with the body's"));
    }
    std::string caption = "Set the hairline over " + ShortNumber(value) + " on " + in->name;
    if (*lookup.why != '\0') {
        caption += " (for " + operandText + ": " + lookup.why + ")";
    } else if (ShortNumber(value) != operandText) {
        caption += " (for " + operandText + ")";
    }
    steps.push_back(Move(attempt->rule, false, at.hairline, caption));
    return Finish(out, outStrip, at, exact, logarithm, steps, attempt, plan);
}

// The mantissa of a positive number, 1 to 10, and its place on C or D.
double Mantissa(double value) {
    const double m = value / std::pow(10.0, std::floor(std::log10(value)));
    return m >= 10.0 ? m / 10.0 : m;
}

// A factor where a caption names its mark on a scale: "3.7 on C",
// "pi (3.142) on C", "2.5 on D (for 25)".
std::string FactorOn(const Factor& factor, const char* scale) {
    const double m = Mantissa(factor.value);
    char figures[32];
    std::snprintf(figures, sizeof figures, "%.4g", m);
    if (factor.text == "pi" || factor.text == "e") return factor.text + " (" + figures + ") on " + scale;
    if (ShortNumber(m) != factor.text) return ShortNumber(m) + " on " + scale + " (for " + factor.text + ")";
    return factor.text + " on " + scale;
}

const char* IndexName(bool right) { return right ? "C's 10 (right index)" : "C's 1 (left index)"; }

}  // namespace

std::string EndNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(value) >= 1000.0 ? "%.0f" : "%.4g", value);
    return text;
}

std::string OffScaleText(double value, const ScaleDefinition& scale) {
    return ShortNumber(value) + " is off " + scale.name + ": " + scale.name + " runs from " + EndNumber(scale.low) +
           " to " + EndNumber(scale.high);
}

bool PlanLookups(const std::vector<Lookup>& lookups, double operand, const std::string& operandText, double exact,
                 bool logarithm, PlanTry* attempt, Plan* plan) {
    // Lookups that leave the slide where it is first.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Lookup& lookup : lookups) {
            int inStrip = 0;
            int outStrip = 0;
            if (ExactScale(*attempt->scales, lookup.input, &inStrip) == nullptr ||
                ExactScale(*attempt->scales, lookup.answer, &outStrip) == nullptr) {
                continue;
            }
            const bool movesSlide =
                OnSlide(inStrip) != OnSlide(outStrip) || (OnSlide(inStrip) && !attempt->slideKnown);
            if (movesSlide != (pass == 1)) continue;
            if (TryLookup(lookup, operand, operandText, exact, logarithm, attempt, plan)) return true;
        }
    }
    return false;
}

bool PlanChain(const std::vector<Factor>& factors, double exact, PlanTry* attempt, Plan* plan) {
    int cStrip = 0;
    int dStrip = 0;
    const ScaleDefinition* c = ExactScale(*attempt->scales, "C", &cStrip);
    const ScaleDefinition* d = ExactScale(*attempt->scales, "D", &dStrip);
    if (c == nullptr || d == nullptr || !OnSlide(cStrip) || OnSlide(dStrip) || factors.empty()) return false;
    const int rule = attempt->rule;
    std::vector<PlanStep> steps;
    RulePosition at;
    size_t first = 0;
    if (factors[0].divides) {
        at.hairline = 0.0;
        steps.push_back(Move(rule, false, at.hairline, "Set the hairline over D's 1"));
    } else {
        at.hairline = std::log10(Mantissa(factors[0].value));
        steps.push_back(Move(rule, false, at.hairline, "Set the hairline over " + FactorOn(factors[0], "D")));
        first = 1;
    }
    bool slidePlaced = attempt->slideKnown;
    at.slide = attempt->slide;
    // After a division the running result stands on D under one of C's
    // indexes rather than under the hairline.
    bool resultAtIndex = false;
    const auto moveToIndex = [&]() {
        const bool right = at.slide < -REACH_SLACK;
        at.hairline = at.slide + (right ? 1.0 : 0.0);
        steps.push_back(Move(rule, false, at.hairline, std::string("Move the hairline to ") + IndexName(right)));
        resultAtIndex = false;
    };
    for (size_t k = first; k < factors.size(); ++k) {
        const Factor& factor = factors[k];
        const double place = std::log10(Mantissa(factor.value));
        if (factor.divides) {
            if (resultAtIndex) moveToIndex();
            at.slide = at.hairline - place;
            steps.push_back(Move(rule, true, at.slide, "Bring " + FactorOn(factor, "C") + " under the hairline"));
            slidePlaced = true;
            resultAtIndex = true;
            continue;
        }
        if (resultAtIndex && at.slide + place <= 1.0 + REACH_SLACK && at.slide + place >= -REACH_SLACK) {
            // The quotient stands under C's index already: multiply on from it.
            at.hairline = at.slide + place;
            steps.push_back(Move(rule, false, at.hairline, "Move the hairline to " + FactorOn(factor, "C")));
            resultAtIndex = false;
            continue;
        }
        if (resultAtIndex) moveToIndex();
        // The left index, unless the product would then stand at or past
        // D's 10: it is read at D's 1 instead (25 x 4 reads 1.000).
        const bool right = at.hairline + place > 1.0 - REACH_SLACK;
        const double slide = at.hairline - (right ? 1.0 : 0.0);
        if (!slidePlaced || std::fabs(slide - at.slide) > REACH_SLACK) {
            at.slide = slide;
            steps.push_back(
                Move(rule, true, at.slide, std::string("Bring ") + IndexName(right) + " under the hairline"));
            slidePlaced = true;
        }
        at.hairline = at.slide + place;
        steps.push_back(Move(rule, false, at.hairline, "Move the hairline to " + FactorOn(factor, "C")));
    }
    if (resultAtIndex) moveToIndex();
    return Finish(d, dStrip, at, exact, false, steps, attempt, plan);
}

bool PlanPower(double base, const std::string& baseText, double exponent, const std::string& exponentText,
               double exact, PlanTry* attempt, Plan* plan) {
    if (!(base > 0.0) || base == 1.0 || exponent == 0.0 || !(exact > 0.0)) return false;
    const TextureScales& scales = *attempt->scales;
    // The LL scale holding the base, and the scale the exponent is set on.
    const ScaleDefinition* holder = nullptr;
    int holderStrip = 0;
    bool anyLogLog = false;
    for (int s = 0; s < STRIP_COUNT && holder == nullptr; ++s) {
        for (const ScaleDefinition* scale : scales.strips[s]) {
            if (std::strncmp(scale->name, "LL", 2) != 0) continue;
            anyLogLog = true;
            if (Covers(*scale, base)) {
                holder = scale;
                holderStrip = s;
                break;
            }
        }
    }
    if (!anyLogLog) return false;
    if (holder == nullptr) {
        Note(attempt, ShortNumber(base) + " lies on none of this rule's LL scales");
        return false;
    }
    int multiplierStrip = 0;
    const ScaleDefinition* multiplier =
        ExactScale(scales, OnSlide(holderStrip) ? "D" : "C", &multiplierStrip);
    if (multiplier == nullptr || OnSlide(multiplierStrip) == OnSlide(holderStrip)) return false;
    const int rule = attempt->rule;
    const double m = Mantissa(std::fabs(exponent));
    const double place = std::log10(m);
    const char* exponentScale = OnSlide(holderStrip) ? "D" : "C";
    std::string exponentCaption = ShortNumber(m) + " on " + exponentScale;
    if (exponent < 0.0) {
        exponentCaption += " (for " + exponentText + ": a negative power is read on the LL0 scales)";
    } else if (ShortNumber(m) != exponentText) {
        exponentCaption += " (for " + exponentText + ")";
    }
    std::vector<PlanStep> steps;
    RulePosition at;
    double readAt = 0.0;  // where the power lies on the LL scales' strip
    const double basePlace = holder->position(base);
    if (!OnSlide(holderStrip)) {
        at.hairline = basePlace;
        steps.push_back(Move(rule, false, at.hairline, "Set the hairline over " + baseText + " on " + holder->name));
        const bool right = at.hairline + place > 1.0 + REACH_SLACK;
        at.slide = at.hairline - (right ? 1.0 : 0.0);
        steps.push_back(Move(rule, true, at.slide, std::string("Bring ") + IndexName(right) + " under the hairline"));
        at.hairline = at.slide + place;
        steps.push_back(Move(rule, false, at.hairline, "Move the hairline to " + exponentCaption));
        readAt = at.hairline;
    } else {
        // The base on the slide brought to D's index, the exponent on D.
        const bool right = basePlace + place > 1.0 + REACH_SLACK;
        at.slide = (right ? 1.0 : 0.0) - basePlace;
        steps.push_back(Move(rule, true, at.slide,
                             "Bring " + baseText + " on " + holder->name + " over D's " + (right ? "10" : "1")));
        at.hairline = place;
        steps.push_back(Move(rule, false, at.hairline, "Move the hairline to " + exponentCaption));
        readAt = at.hairline - at.slide;
    }
    // The power lies on whichever LL scale of that strip holds it there.
    const bool bodyStrips = !OnSlide(holderStrip);
    for (int s = 0; s < STRIP_COUNT; ++s) {
        if (OnSlide(s) == bodyStrips) continue;
        for (const ScaleDefinition* scale : scales.strips[s]) {
            double value = 0.0;
            if (std::strncmp(scale->name, "LL", 2) != 0 || !ValueAtPosition(*scale, readAt, &value)) continue;
            if (std::fabs(value / exact - 1.0) > 1e-6) continue;
            return Finish(scale, s, at, exact, false, steps, attempt, plan);
        }
    }
    // The last resort's reason is the one to give.
    attempt->offScale = "the power " + FormatReading(exact) + " lies beyond this rule's LL scales";
    return false;
}
