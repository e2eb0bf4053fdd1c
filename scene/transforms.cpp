#include "scene/transforms.h"

#include <cmath>

#include "scene/panels.h"

Vec3f panelShift = {0.0f, 0.0f, 0.0f};

namespace {

void TranslateAxis(int32_t first, int32_t end, int axis, float amount) {
    // Negative zero compares equal to zero, so it skips the axis too.
    if (amount == 0.0f) return;
    for (int32_t i = first; i < end; ++i) {
        Panel& panel = panelTable.panels[i];
        if (panel.shapeMarker == SHAPE_FIXED) continue;
        if (panel.moveLock == MOVE_LOCKED) continue;
        const int corners = panel.shapeMarker == SHAPE_QUAD ? 4 : 1;
        for (int k = 0; k < corners; ++k) {
            float& value = panel.corner[k][axis];
            value = static_cast<float>(static_cast<double>(value) + static_cast<double>(amount));
        }
    }
}

// Turns the coordinate pair (a, b) of every corner: a' = a cos + b sin,
// b' = b cos - a sin, with the old values on both sides.
void RotatePairs(int32_t first, int32_t last, float angleDegrees, int axisA, int axisB) {
    const double theta = DegreesToRadians(angleDegrees);
    const double cosine = std::cos(theta);
    const double sine = std::sin(theta);
    for (int32_t i = first; i <= last; ++i) {
        Panel& panel = panelTable.panels[i];
        if (panel.shapeMarker == SHAPE_FIXED) continue;
        for (auto& corner : panel.corner) {
            const double a = corner[axisA];
            const double b = corner[axisB];
            corner[axisA] = static_cast<float>(a * cosine + b * sine);
            corner[axisB] = static_cast<float>(b * cosine - a * sine);
        }
    }
}

}  // namespace

void TranslatePanels(int32_t first, int32_t end) {
    TranslateAxis(first, end, 0, panelShift.x);
    TranslateAxis(first, end, 1, panelShift.y);
    TranslateAxis(first, end, 2, panelShift.z);
}

void RotatePanelsAboutX(int32_t first, int32_t last, float angleDegrees) {
    // y' = y cos + z sin, z' = z cos - y sin
    RotatePairs(first, last, angleDegrees, 1, 2);
}

void RotatePanelsAboutY(int32_t first, int32_t last, float angleDegrees) {
    // x' = x cos - z sin, z' = z cos + x sin: the pair (z, x) turned as above.
    RotatePairs(first, last, angleDegrees, 2, 0);
}

void TranslateAllPanels(Vec3f shift) {
    panelShift = shift;
    TranslatePanels(0, panelTable.panelCount);
    panelShift = Vec3f{0.0f, 0.0f, 0.0f};
}

void PanPanels(int axis, float amount) {
    for (int32_t i = 0; i < panelTable.panelCount; ++i) {
        for (auto& corner : panelTable.panels[i].corner) {
            corner[axis] = static_cast<float>(static_cast<double>(corner[axis]) + amount);
        }
    }
}

void PlaceRulesAtStart() {
    panelTable.panelCount = 8;
    TranslateAllPanels(Vec3f{0.0f, 8.0f, 14.0f});
}
