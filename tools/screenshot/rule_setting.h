// Setting a rule for a calculation with the program's own input on the
// headless backend: the left button, the mouse and the digit keys, one
// main-loop pass at a time, as a user works the rule. The program's window
// must be made and started (its first pass run).
#pragma once

#include <string>

#include "tools/screenshot/rule_reading.h"

// One main-loop pass with the cursor at a client pixel; false when the loop
// is over.
bool PassWithCursorAt(int x, int y);

struct DragReport {
    int pixels;       // mouse travel, all steps together
    int passes;       // main-loop passes from the press to the release
    double leftOver;  // scene units between the panel's corner 0 and its target
};

// Takes hold of the panel with the left button at a point where picking
// finds it, then moves the mouse sideways with the digit keys 9, 6, 3 and 0
// held in turn, coarse to fine, until the panel's corner 0 lies at targetX
// (scene units). Each step is worked out from where the panel lies after the
// step before. False, with a message, when picking finds another panel there
// or the panel stops short of its target (at the rule's ends).
bool DragPanelTo(int panel, double targetX, DragReport* report, std::string* error);

// Drags the slide that carries `slideScale` so that its mark for slideValue
// lies on the screen over the mark for bodyValue of `bodyScale`.
bool SetSlideOver(const ScaleOnRule& slideScale, double slideValue, const ScaleOnRule& bodyScale, double bodyValue,
                  DragReport* report, std::string* error);

// Drags the rule's cursor window so that its hairline lies on the screen
// over the mark for `value` of the scale.
bool SetHairlineOn(const ScaleOnRule& scale, double value, DragReport* report, std::string* error);
