// Moving and turning ranges of panels in place.
#pragma once

#include <cstdint>

#include "scene/scene_math.h"

// The vector TranslatePanels adds. Callers set it, translate, and set it back.
extern Vec3f panelShift;

// Adds panelShift to panels first to end - 1 (half-open), axis by axis,
// obeying moveLock and shapeMarker.
void TranslatePanels(int32_t first, int32_t end);
// Turn panels first to last (inclusive) about the x or the y axis.
void RotatePanelsAboutX(int32_t first, int32_t last, float angleDegrees);
void RotatePanelsAboutY(int32_t first, int32_t last, float angleDegrees);
