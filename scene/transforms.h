// Moving and turning ranges of panels in place.
#pragma once

#include <cstdint>

#include "scene/scene_math.h"

// The vector TranslatePanels adds. TranslateAllPanels sets it, translates,
// and sets it back.
extern Vec3f panelShift;

// Adds panelShift to panels first to end - 1 (half-open), axis by axis,
// obeying moveLock and shapeMarker.
void TranslatePanels(int32_t first, int32_t end);
// Turn panels first to last (inclusive) about the x or the y axis.
void RotatePanelsAboutX(int32_t first, int32_t last, float angleDegrees);
void RotatePanelsAboutY(int32_t first, int32_t last, float angleDegrees);

// Translates every panel in use by `shift` (through panelShift, which is
// zero again afterwards).
void TranslateAllPanels(Vec3f shift);

// Adds `amount` to one axis (0 x, 1 y) of every corner of every panel in
// use, markers and locks aside: the scene's pan.
void PanPanels(int axis, float amount);

// Start-up's placing of the rules: the panel count to 8 and the scene moved
// to its start position with one translation (up by 8, 14 farther away).
void PlaceRulesAtStart();
