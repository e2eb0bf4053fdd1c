// The default rules as the generator draws them, shared by the tests.
#pragma once

#include <string>
#include <vector>

#include "tools/rulegen/rule_description.h"
#include "tools/rulegen/rule_texture.h"
#include "tools/screenshot/rule_reading.h"  // Darkness, MarkCentreInRow, ProbeY

// Draws both default rules once per process (from the source tree's
// default.rules) and returns them; null (with a test failure) when that fails.
const RuleArtwork* DefaultArtwork();
const RuleDescription& DefaultDescription();

// A mark the tests look for: its scale's band, its value, its class.
struct ProbedMark {
    int rule;
    int strip;
    ScaleBand band;
    ScaleMark mark;
};

// Every mark of every scale of a description, or (everyMark false) every
// major and every fifth mark; the artwork gives the strips (MapRuleStrips).
std::vector<ProbedMark> MarksOf(const RuleDescription& description, const RuleArtwork* artwork, bool everyMark);
// Every major mark and every fifth mark of every scale of the default rules.
std::vector<ProbedMark> ProbedMarks();
