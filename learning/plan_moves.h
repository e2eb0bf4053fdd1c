// The ways a plan is worked on one rule: a value looked up on one scale and
// read on another, a chain of multiplications and divisions carried along C
// and D with the hairline, and a power on the log-log scales. Each fills in
// the plan and returns true when the rule can do it; otherwise, where the
// rule has the scales but a value lies off them, it says so in *offScale.
#pragma once

#include <string>
#include <vector>

#include "learning/plan.h"

// Setting a value on one scale and reading the answer on another, with the
// slide closed where either lies on it. The value set is offset + factor ×
// the operand, moved by whole powers of `shift` (1: not at all) onto the
// input scale; `why` says what the scales hold when the value set is not the
// operand itself.
struct Lookup {
    const char* input;
    const char* answer;
    double shift = 10.0;
    double factor = 1.0;
    double offset = 0.0;
    const char* why = "";
};

// The lookups that work out an operation, best first.
enum class Operation { Square, Cube, SquareRoot, CubeRoot, Reciprocal, Sine, Cosine, Tangent, Log, Ln, Exp, PiTimes };
std::vector<Lookup> LookupsFor(Operation operation);

// The scales an operation needs, in plain words, for the message when no
// rule has them: "A and D, or B and C, on one rule".
const char* NeedsFor(Operation operation);

// "4000 is off K: K runs from 1 to 1000".
std::string OffScaleText(double value, const ScaleDefinition& scale);
// A scale's end as a message writes it: 5.739, 1000, 22026.
std::string EndNumber(double value);

struct PlanTry {
    int rule = 0;
    const TextureScales* scales = nullptr;
    std::string offScale;  // the first value found off a scale the rule has
    bool slideKnown = false;  // where the slide stands as the plan starts, when the caller says
    double slide = 0.0;
};

// The operand looked up by the first lookup the rule can do. `logarithm`:
// the answer is a common log, whose whole part is added to the reading.
bool PlanLookups(const std::vector<Lookup>& lookups, double operand, const std::string& operandText, double exact,
                 bool logarithm, PlanTry* attempt, Plan* plan);

// One factor of a chain: a number, pi or e, multiplied or divided by.
struct Factor {
    double value = 0.0;
    std::string text;  // as typed
    bool divides = false;
};

// The factors multiplied and divided in turn on C (the slide) and D (the
// body), the running result carried by the hairline.
bool PlanChain(const std::vector<Factor>& factors, double exact, PlanTry* attempt, Plan* plan);

// base^exponent on the log-log scales: the base on an LL scale, C's index
// brought to it, the hairline moved to the exponent on C and the power read
// on whichever LL scale holds it (with the LL scales on the slide: the base
// brought to D's index and the exponent set on D).
bool PlanPower(double base, const std::string& baseText, double exponent, const std::string& exponentText,
               double exact, PlanTry* attempt, Plan* plan);
