// Practice: problems drawn for the rules in front of the learner, and the
// learner's reading of the answer judged as finely as the scale can be read.
#pragma once

#include <cstdint>
#include <string>

#include "learning/calculation.h"
#include "learning/plan.h"
#include "scales/scales.h"

struct Problem {
    std::string text;  // the calculation as the learner sees and could type it: "3.7*4.2/1.9"
    Command calculation;
    Plan plan;  // how the rules work it; possible unless no problem could be found
    std::string where;  // "On the upper rule, leave the answer under the hairline on D"
};

// The next problem from a seeded generator of its own (the same state gives
// the same problems on every platform): products, quotients, a chain of
// both, squares, square roots, sines, logs and powers, with two- and
// three-figure numbers, only as the rules can work them. *randomState moves
// on; any value will do to start with.
Problem MakeProblem(uint32_t* randomState, const TextureScales rules[2], int preferredRule);

// A problem of the learner's own choosing; false with *error (the parser's
// or the planner's words) when the rules cannot work it.
bool MakeProblemFrom(const std::string& text, const TextureScales rules[2], int preferredRule, Problem* problem,
                     std::string* error);

// About the width of the scale's finest graduation at the value, in the
// scale's own units: how closely a reading there can be expected to agree.
double ReadingTolerance(const ScaleDefinition& scale, double value);

// Judges the learner's reading of the problem's answer scale: true when it
// lies within ReadingTolerance of what the scale should read. *message says
// so in plain words: "Right: D reads 8.18 (exact 8.1789)", "Not quite: you
// left 7.95 on D; the answer is 8.179 (8.1789)".
bool CheckAnswer(const Problem& problem, double readOnAnswerScale, std::string* message);
