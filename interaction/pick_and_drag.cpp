#include "interaction/pick_and_drag.h"

int32_t grabActive = 0;
int32_t grabbedPanel = 0;
float dragSensitivity = 0.0f;

void PickAndDrag() {
    // Picking and dragging are not built yet: holding the left button moves
    // nothing.
}
