// The default rules as the generator draws them, shared by the tests, and
// the measurement of a mark in a picture.
#pragma once

#include <string>
#include <vector>

#include "tools/rulegen/rule_description.h"
#include "tools/rulegen/rule_texture.h"

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

// Every major mark and every fifth mark of every scale of the default rules.
std::vector<ProbedMark> ProbedMarks();

// How dark a pixel is against the body colour (0 for the body itself).
double Darkness(const uint8_t* rgb);

// The darkness-weighted centre (in pixel units: column i covers i to i + 1)
// of the mark nearest to `expected` in one row of an RGB picture with
// `stride` bytes per pixel; NaN when no mark is within two columns.
double MarkCentreInRow(const uint8_t* row, int width, int stride, double expected);

// Scene y of a row through a mark and clear of every numeral: 60 % of the
// way from its base to its tip.
double ProbeY(const ScaleBand& band, const ScaleMark& mark);
