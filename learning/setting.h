// A setting of the rules: where both slides and cursor windows stand, how
// near the rules are and where they are moved to, the drag sensitivity and
// whether the readout is shown; and the short text that carries it in a
// link's fragment, on the command line and in a file alike.
#pragma once

#include <string>

#include "interaction/dragging.h"
#include "reading/readout.h"

struct Setting {
    // 0 the upper rule, 1 the lower; as they start, hairline at the middle.
    RulePosition rules[READOUT_RULES] = {{0.5, 0.0}, {0.5, 0.0}};
    // Corner 0 of the upper rule's upper body strip: x and y the pan, z the
    // zoom; where start-up puts it.
    float corner[3] = {-15.0f, 7.0f, 23.0f};
    float dragSensitivity = DEFAULT_DRAG_SENSITIVITY;
    bool readoutShown = false;
};

// The setting as the panel table and its owners have it now.
Setting CaptureSetting();

// Brings the rules to the setting: the scene moved as the zoom and the pan
// move it (kept within their limits), then each rule's slide and cursor
// window moved along it (within its ends), then the sensitivity and the
// readout.
void ApplySetting(const Setting& setting);

// "v1_<hairline>,<slide>_<hairline>,<slide>_<x>,<y>,<z>_<sensitivity>_<readout>":
// the upper rule, the lower rule, the reference corner, the drag sensitivity
// and 0 or 1 for the readout. Each number has the fewest digits that read
// back to the same value, so the text applied gives the same picture.
// Letters, digits, '.', '-', ',' and '_' only: a link's fragment carries it
// as it is, and a shell needs no quotes for it.
std::string SettingText(const Setting& setting);

// Reads a setting text; false, with a one-line reason in *error, when it is
// not one or a value lies outside what the rule can show.
bool ParseSettingText(const std::string& text, Setting* setting, std::string* error);
