// Reading a rule's scales on the program's screen: where a mark lies now
// (from the scale geometry the texture generator draws with and the live
// panel table), and where marks and the cursor's hairline are found in a
// picture of the screen.
//
// Screen positions follow the renderer's perspective set-up with the camera
// as the program starts it (eye at the origin, looking along +z): the scene
// then is the eye's frame, as picking sees it too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rulegen/rule_description.h"
#include "tools/rulegen/rule_texture.h"

// Where a scale stands on a rule, as the generator lays it out: the panel of
// its strip and its band in the strip's home coordinates.
struct ScaleOnRule {
    int rule;
    int panel;
    ScaleBand band;
};

// Finds the scale of that name on the rule; false, with a message, when the
// description does not put it on that rule.
bool FindScaleOnRule(const RuleDescription& description, int rule, const std::string& name, ScaleOnRule* found,
                     std::string* error);

// Scene x at home (the slide at home) of a value on a scale: every strip's
// index runs from INDEX_LEFT_X over INDEX_LENGTH.
double HomeSceneX(const ScaleDefinition& scale, double value);

// Client pixel (x to the right, y down, from the client area's top-left
// corner) of a scene point at depth z, and back.
double ClientXOf(double x, double z);
double ClientYOf(double y, double z);
double SceneXAtClientX(double clientX, double z);

// A mark of a scale where it lies now: the scene point where its probe row
// crosses it, and that point's client pixel.
struct MarkOnScreen {
    double value;
    int lengthClass;
    double sceneX, sceneY, depth;
    double clientX, clientY;
};

// False, with a message, when the scale has no mark at that value.
bool LocateMark(const ScaleOnRule& scale, double value, MarkOnScreen* mark, std::string* error);

// Scene y of a row through a mark and clear of every numeral: 60 % of the
// way from its base to its tip.
double ProbeY(const ScaleBand& band, const ScaleMark& mark);

// How dark a pixel (R, G, B first) is against the body colour: 0 for the
// body itself.
double Darkness(const uint8_t* rgb);

// The darkness-weighted centre (in pixel units: column i covers i to i + 1)
// of the mark nearest to `expected` in one row of a picture with `stride`
// bytes per pixel; NaN when no mark is within two columns.
double MarkCentreInRow(const uint8_t* row, int width, int stride, double expected);

// A picture of the screen: RGBA rows, top row first.
struct ScreenPicture {
    const std::vector<uint8_t>* rgba;
    int width;
    int height;
};

// The centre of a located mark found in the picture, in client pixels along
// its probe row; NaN when it is not there.
double FindMarkColumn(const ScreenPicture& picture, const MarkOnScreen& mark);

// The client rows that a rule covers now, from its upper body's top edge to
// its lower body's bottom edge, clipped to the picture.
void RuleRows(const ScreenPicture& picture, int rule, int* topRow, int* bottomRow);

// The cursor window's hairline near client column `expected`: the column
// that is dark in the most rows from topRow to bottomRow, in pixel units
// (its middle, column + 0.5); NaN when no column within six of `expected`
// is dark in nine rows of ten.
double FindHairlineColumn(const ScreenPicture& picture, double expected, int topRow, int bottomRow);

// The panel of a rule's cursor window.
int CursorPanelOf(int rule);
