// Taking hold of a slide or a cursor window with the left button and
// dragging it along the rule.
#pragma once

#include "interaction/dragging.h"
#include "interaction/picking.h"

// One pass of picking and dragging, run while the left button is held, with
// the panels in the eye's frame: the pick at the mouse point (client pixels)
// as the previous pass read it, the drag by the horizontal motion since.
void PickAndDrag(float mx, float my, float dxPixels);
