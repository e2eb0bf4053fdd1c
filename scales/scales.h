// The scales a rule can carry: where each value lies and which marks it has.
// The rule generator draws them; the program reads its rules out with them.
#pragma once

#include <string>
#include <vector>

// How the numerals of the major marks are written.
enum class LabelStyle {
    Value,         // the value itself: 1.5, 20, 1.025
    LeadingDigit,  // the leading digit, with the full number at powers of ten: 1 2 ... 9 10 2 3 ... 9 100
    Tenths         // the value in tenths: 0 1 2 ... 10
};

// A mark with a name of its own in place of a numeral, such as pi.
struct NamedMark {
    double value;
    const char* label;
};

struct ScaleDefinition {
    const char* name;     // as rule descriptions name it and as the rule shows it
    const char* formula;  // shown at the right end
    // Where a value lies, as a fraction of the index length from the left
    // index (the C and D scales' 1).
    double (*position)(double value);
    double low;   // the values the scale covers
    double high;
    // The major marks, ascending, numbered; finer marks subdivide the
    // intervals between them. Majors outside low..high only bound intervals.
    std::vector<double> majors;
    LabelStyle labelStyle;
    bool inverse;  // runs right to left; drawn in red
    // Marks drawn and labelled like majors; finer marks too close to one
    // are left out.
    std::vector<NamedMark> named = {};
};

// The index (C and D from 1 to 10) runs over this stretch of every strip,
// body and slide alike, in scene x as the rules stand at start-up, with room
// for the scale names on the left and the formulas on the right. A scale's
// position (a fraction of the index length) lies at SceneXOfPosition.
constexpr double INDEX_LEFT_X = -12.5;
constexpr double INDEX_LENGTH = 25.0;
inline double SceneXOfPosition(double position) { return INDEX_LEFT_X + INDEX_LENGTH * position; }

// The value that lies at a position of the scale, as its position function
// places values (inverted where the scale runs right to left); false when
// the position lies beyond the scale's ends.
bool ValueAtPosition(const ScaleDefinition& scale, double position, double* value);

struct ScaleMark {
    double value;
    double position;  // fraction of the index length
    // 0 for the numbered majors; the first subdivision has 2, the second 4,
    // the third 6; the middle mark of an interval cut in ten is one longer
    // (odd).
    int lengthClass;
};

constexpr int MARK_LENGTH_CLASSES = 7;

// Marks closer than this (scene units, about 3.5 texels and 3.3 pixels on a
// 1920-pixel-wide screen) are not drawn; the subdivision stops short of it.
// The generator draws the rules' marks with it; the program judges how
// finely a scale can be read with it.
constexpr double MIN_MARK_SPACING = 0.054;

// The scale of that name (as written, e.g. "LL2"), or null.
const ScaleDefinition* FindScale(const std::string& name);
// Every name FindScale knows, separated by spaces.
std::string KnownScaleNames();

// All marks of a scale on an index of the given length (scene units), in
// ascending value. Each major interval is cut as finely as real rules cut
// theirs: the finest of the usual steps (tenths, fifths, halves of a round
// interval) whose marks stay at least minSpacing apart everywhere in that
// interval, level after level, so the marks are finer where the scale is
// stretched.
std::vector<ScaleMark> MakeScaleMarks(const ScaleDefinition& scale, double indexLength, double minSpacing);

// The numeral of a major mark, or of a finer mark that gets one.
std::string FormatMajorLabel(const ScaleDefinition& scale, double value);
std::string FormatMinorLabel(double value);
