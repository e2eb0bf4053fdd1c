// Taking hold of a slide or a cursor window with the left button and
// dragging it along the rule.
#pragma once

#include <cstdint>

// The grab: set by picking, cleared by the frame driver when the left button
// is up. grabbedPanel is meaningful only while grabActive is 1.
extern int32_t grabActive;
extern int32_t grabbedPanel;

// Scene units per pixel per unit of depth; the digit keys change it.
extern float dragSensitivity;

// One pass of picking and dragging, run while the left button is held, with
// the panels in the eye's frame.
void PickAndDrag();
