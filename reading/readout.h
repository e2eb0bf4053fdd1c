// The values under a rule's hairline: on every scale of the rule's strips
// that the scale map names, and the slide's setting (what C's index stands
// over on D), as the picture shows them.
#pragma once

#include <string>
#include <vector>

#include "reading/scale_map.h"
#include "scales/scales.h"

struct ScaleReading {
    const ScaleDefinition* scale;
    bool onScale;  // the hairline crosses the scale between its ends
    double value;
};

struct RuleReadout {
    bool mapped;  // the map describes the rule's texture
    std::vector<ScaleReading> readings;  // upper body, slide, lower body, each top to bottom
    double setting;  // the D value under the slide's C index
    bool settingOnScale;
};

// The rules on screen: 0 the upper (panels 0 to 3), 1 the lower (4 to 7).
constexpr int READOUT_RULES = 2;

// Where a rule's hairline and slide stand, in the frame its scales are
// placed in: the hairline's position on the body's scales and the slide's
// offset, both as fractions of the index length (a slide scale reads at
// hairline - slide).
struct RulePosition {
    double hairline = 0.0;
    double slide = 0.0;
};

// Rule 0 or 1's position as the panel table stands. The hairline is taken
// where the eye sees it cross the strips, which lie a little behind it.
RulePosition ReadRulePosition(int rule);

// The shift along x of the rule's cursor window that brings its hairline to
// `hairline`, and of its slide that brings it to `slide` (ReadRulePosition
// backwards).
double HairlineShiftFor(int rule, double hairline);
double SlideShiftFor(int rule, double slide);
// The rule's cursor window and slide panels.
int RuleCursorPanel(int rule);
int RuleSlidePanel(int rule);

// The scales the map says rule 0 or 1's texture carries; null where the
// map does not describe it.
const TextureScales* RuleScales(int rule);

// Reads rule 0 or 1 from the panel table as it stands. The hairline is taken
// where the eye sees it cross the strips, which lie a little behind it.
RuleReadout ReadRule(int rule);

// A value to four significant figures, trailing zeros kept: 3.162, 10.00,
// 0.5000, 22030.
std::string FormatReading(double value);
// A value to so many significant figures, large ones without an exponent;
// trailing zeros kept or dropped.
std::string FormatFigures(double value, int figures, bool keepZeros);

// What stands between two readings of a line.
constexpr const char* READING_SEPARATOR = "   ";

// The line the readout shows for a rule: "K 31.62   A 10.00 ... C index over
// D 1.000"; a scale the hairline is off reads "-".
std::string ReadoutLine(const RuleReadout& readout);
