// What the learner asks of the rule: typed lines run (a setting moves one
// part, a calculation is demonstrated) and practice, problem after problem.
#pragma once

#include <cstdint>
#include <string>

#include "learning/practice.h"

struct Lessons {
    int ruleInUse = 0;  // the rule a command acts on unless it names one: the upper at the start
};

extern Lessons lessons;

// The learner took hold of a part of rule 0 or 1.
void NoteRuleInUse(int rule);

// Runs a typed line. A mistake (an unknown scale, a value off its scale, a
// calculation no rule can do) is said in the panel and moves nothing.
void RunTypedLine(const std::string& line, uint32_t now);

struct PracticeSession {
    bool active = false;
    uint32_t randomState = 0;
    Problem problem;
    bool checked = false;        // the problem's answer was checked; Enter poses the next
    bool solutionShown = false;  // S worked it: a right reading then does not count
    int asked = 0;
    int right = 0;
};

extern PracticeSession practice;

// P: starts practice (the problems drawn from `seed`) or ends it.
void TogglePractice(uint32_t seed);
// Enter while practising: checks the reading left under the hairline, or,
// once checked, poses the next problem.
void CheckOrPoseNext();
// S while practising: the problem worked as a demonstration.
void ShowPracticeSolution(uint32_t now);
