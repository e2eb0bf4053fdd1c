// Working a typed setting or calculation on the rules in front of the
// learner: the moves of hairline and slide, in the frame the readout uses
// (reading/readout.h, RulePosition), each with a caption in plain words, and
// where the answer is read at the end.
#pragma once

#include <string>
#include <vector>

#include "learning/calculation.h"
#include "reading/readout.h"
#include "reading/scale_map.h"
#include "scales/scales.h"

// How far the parts reach, in index lengths: the hairline from D's 1 to its
// 10, the slide a whole index either way.
constexpr double HAIRLINE_REACH_LOW = 0.0;
constexpr double HAIRLINE_REACH_HIGH = 1.0;
constexpr double SLIDE_REACH = 1.0;

struct PlanStep {
    int rule = 0;             // 0 upper, 1 lower
    bool movesSlide = false;  // else the hairline moves
    double target = 0.0;      // the hairline's position or the slide's offset (RulePosition)
    std::string caption;      // "Set the hairline over 3.7 on D"
    bool reads = false;       // nothing moves: the answer is read under the hairline (target: where it stands)
};

struct Plan {
    bool possible = false;
    std::string message;  // why not, in plain words
    std::vector<PlanStep> steps;
    int rule = -1;
    const ScaleDefinition* answerScale = nullptr;
    int answerStrip = STRIP_LOWER_BODY;  // where answerScale lies on the rule
    double exact = 0.0;                  // the calculation's true value
    // What answerScale reads under the hairline after the steps; the answer
    // is answerScaleValue * 10^decimalExponent + characteristic (a common
    // log's whole part; 0 otherwise).
    double answerScaleValue = 0.0;
    int decimalExponent = 0;
    int characteristic = 0;
};

// Plans a calculation. The ways it can be worked are tried best first (one
// value looked up on another scale, then a chain of factors on C and D, then
// a power on the LL scales), each on the rule preferred (0 or 1; -1 for
// either) first, then on the other. Every step's target lies within reach.
// With `now` (both rules' positions) a scale on the slide is read where the
// slide stands; without it the plan does not depend on where the parts
// stand when it starts. A rule whose texture the scale map does not
// describe is not planned on.
Plan PlanCalculation(const Command& calculation, const TextureScales rules[2], int preferredRule,
                     const RulePosition* now = nullptr);

// The one step of a HairlineSetting or SlideSetting on `rule`, with the
// slide now at currentSlide (a hairline set on a slide scale goes where that
// scale stands). step->rule is the setting's rule (-1 when it named none:
// the caller's). False with *error when the scale is not on the rule, the
// value is off it or the position is out of reach.
bool PlanSetting(const Command& setting, const TextureScales& rule, double currentSlide, PlanStep* step,
                 std::string* error);

// The rule's scale of that name: as written, or else the one whose name
// matches it but for case; null when there is none. *strip is its strip.
const ScaleDefinition* FindRuleScale(const TextureScales& rule, const std::string& name, int* strip);
// The rule's scales, top to bottom: "K A B CI C D L".
std::string RuleScaleNames(const TextureScales& rule);

// What the plan's answer scale reads with the rule at `position`; false off
// the scale's ends.
bool ReadPlanScale(const Plan& plan, const RulePosition& position, double* reading);
// A reading of the answer scale with its decimal point placed (and a log's
// characteristic added).
double PlacedAnswer(const Plan& plan, double reading);

// A number as a caption writes it: up to six figures, no trailing zeros.
std::string ShortNumber(double value);
