#include "interaction/dragging.h"

#include "interaction/picking.h"
#include "platform/platform.h"
#include "scene/panels.h"

float dragSensitivity = 0.0f;
int32_t lastDraggedPanel = -1;

void SetDefaultDragSensitivity() { dragSensitivity = DEFAULT_DRAG_SENSITIVITY; }
void SetDragSensitivity(float sensitivity) { dragSensitivity = sensitivity; }

void ReadSensitivityKeys() {
    for (int digit = 0; digit < 10; ++digit) {
        if (PlatformGetAsyncKeyState(VK_0 + digit) != 0) dragSensitivity = DIGIT_SENSITIVITY[digit];
    }
}

double LimitDragDelta(double delta, float leftEdge, float leftLimit, float rightEdge, float rightLimit) {
    if (leftEdge + delta < leftLimit) {
        delta = leftEdge > leftLimit ? static_cast<double>(leftLimit) - leftEdge : 0.0;
    }
    if (rightEdge + delta > rightLimit) {
        delta = rightEdge < rightLimit ? static_cast<double>(rightLimit) - rightEdge : 0.0;
    }
    return delta;
}

namespace {

// Which corners a moving panel is measured by.
struct DragCase {
    int depthCorner;   // its z scales the motion
    int leftCorner;    // its x is held against the body's left end
    int rightCorner;   // its x is held against the right limit
    double rightMargin;
};

// A cursor window stops with its left edge at the body's left end and its
// right edge a little past the right end. A slide is held by its far ends:
// it can be pulled out until one end reaches the body's opposite end.
constexpr DragCase CURSOR_DRAG = {0, 0, 3, CURSOR_RIGHT_MARGIN};
constexpr DragCase SLIDE_DRAG = {2, 2, 0, 0.0};

}  // namespace

namespace {

bool DragCaseOf(int32_t panel, DragCase* drag) {
    switch (panel) {
        case PANEL_CURSOR_A:
        case PANEL_CURSOR_B:
            *drag = CURSOR_DRAG;
            return true;
        case PANEL_SLIDE_A:
        case PANEL_SLIDE_B:
            *drag = SLIDE_DRAG;
            return true;
        default:
            return false;  // a body strip is held but does not move
    }
}

}  // namespace

bool IsMovablePanel(int32_t panel) {
    DragCase drag;
    return DragCaseOf(panel, &drag);
}

double MovePanelAlongRule(int32_t panel, double delta) {
    DragCase drag;
    if (!DragCaseOf(panel, &drag)) return 0.0;
    // Both rules take their limits from the first rule's upper body strip.
    const Panel& body = panelTable.panels[PANEL_UPPER_BODY_A];
    const float leftLimit = body.corner[0][0];
    const float rightLimit = static_cast<float>(body.corner[3][0] + drag.rightMargin);

    auto& corner = panelTable.panels[panel].corner;
    delta = LimitDragDelta(delta, corner[drag.leftCorner][0], leftLimit, corner[drag.rightCorner][0], rightLimit);
    for (auto& c : corner) c[0] = static_cast<float>(c[0] + delta);
    return delta;
}

void DragPanelByPixels(int32_t panel, float dxPixels) {
    DragCase drag;
    if (!DragCaseOf(panel, &drag)) return;
    const auto& corner = panelTable.panels[panel].corner;
    MovePanelAlongRule(panel, dxPixels * (corner[drag.depthCorner][2] - DRAG_DEPTH_OFFSET) * dragSensitivity);
}

void DragGrabbedPanel(float dxPixels) {
    ReadSensitivityKeys();
    if (grabActive != 1) return;
    if (IsMovablePanel(grabbedPanel)) lastDraggedPanel = grabbedPanel;
    DragPanelByPixels(grabbedPanel, dxPixels);
}
