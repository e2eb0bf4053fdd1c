#include "interaction/pick_and_drag.h"

void PickAndDrag(float mx, float my, float dxPixels) {
    PickPanel(mx, my);
    DragGrabbedPanel(dxPixels);
}
