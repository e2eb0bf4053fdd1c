#include "interaction/pick_and_drag.h"

void PickAndDrag() {
    PickPanel();
    DragGrabbedPanel();
}
