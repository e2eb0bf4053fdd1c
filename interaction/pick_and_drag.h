// Taking hold of a slide or a cursor window with the left button and
// dragging it along the rule.
#pragma once

#include "interaction/dragging.h"
#include "interaction/picking.h"

// One pass of picking and dragging, run while the left button is held, with
// the panels in the eye's frame.
void PickAndDrag();
