#include "interaction/picking.h"

#include <cmath>

#include "render/view.h"
#include "scene/scene_math.h"

int32_t grabActive = 0;
int32_t grabbedPanel = 0;

bool ProjectPanelCorners(const Panel& panel, ScreenCorner corners[4]) {
    for (const auto& corner : panel.corner) {
        if (!(corner[2] > 0.0f)) return false;
    }
    const double width = viewState.pictureWidth;
    const double height = viewState.pictureHeight;
    const double distance = viewState.pickDistance;
    const double scaleX = width / viewState.pickHalfWidth;
    const double scaleY = height / viewState.pickHalfHeight;
    for (int k = 0; k < 4; ++k) {
        const float* c = panel.corner[k];
        const double depth = distance + c[2];
        corners[k].sx = static_cast<float>(viewState.pictureLeft + 0.5 * (width + scaleX * distance * c[0] / depth));
        corners[k].sy = static_cast<float>(viewState.pictureTop + 0.5 * height - 0.5 * scaleY * distance * c[1] / depth);
    }
    return true;
}

bool OutsideBoundingBox(const ScreenCorner corners[4], float mx, float my) {
    bool allLeft = true;
    bool allRight = true;
    bool allAbove = true;
    bool allBelow = true;
    for (int k = 0; k < 4; ++k) {
        allLeft = allLeft && corners[k].sx < mx;
        allRight = allRight && corners[k].sx > mx;
        allAbove = allAbove && corners[k].sy < my;
        allBelow = allBelow && corners[k].sy > my;
    }
    return allLeft || allRight || allAbove || allBelow;
}

namespace {

// The angle in degrees between two unit vectors. A dot product that is not a
// number (a zero-length vector) counts as opposite directions.
float AngleBetween(float ax, float ay, float bx, float by) {
    float dot = ax * bx + ay * by;
    if (!(dot >= -1.0f)) {
        dot = -1.0f;
    } else if (dot > 1.0f) {
        dot = 1.0f;
    }
    return static_cast<float>(RadiansToDegrees(std::acos(static_cast<double>(dot))));
}

}  // namespace

float AngleSumDegrees(const ScreenCorner corners[4], float mx, float my) {
    float ux[4];
    float uy[4];
    for (int k = 0; k < 4; ++k) {
        const float vx = corners[k].sx - mx;
        const float vy = corners[k].sy - my;
        const float length = std::sqrt(vx * vx + vy * vy);
        ux[k] = vx / length;
        uy[k] = vy / length;
    }
    float sum = AngleBetween(ux[3], uy[3], ux[0], uy[0]);
    sum += AngleBetween(ux[2], uy[2], ux[3], uy[3]);
    sum += AngleBetween(ux[1], uy[1], ux[2], uy[2]);
    sum += AngleBetween(ux[0], uy[0], ux[1], uy[1]);
    return sum;
}

bool QuadHoldsPoint(const ScreenCorner corners[4], float mx, float my) {
    // The box test is cheap and comes before any square root.
    if (OutsideBoundingBox(corners, mx, my)) return false;
    return AngleSumDegrees(corners, mx, my) >= PICK_HIT_DEGREES;
}

int32_t FindPanelAt(float mx, float my) {
    ScreenCorner corners[4];
    for (int32_t i = 0; i < panelTable.panelCount; ++i) {
        if (ProjectPanelCorners(panelTable.panels[i], corners) && QuadHoldsPoint(corners, mx, my)) return i;
    }
    return NO_PANEL;
}

void PickPanel(float mx, float my) {
    if (grabActive == 1) return;
    const int32_t hit = FindPanelAt(mx, my);
    if (hit == NO_PANEL) return;
    grabbedPanel = hit;
    grabActive = 1;
}

void ReleaseGrab() { grabActive = 0; }
