// Finding the panel under the mouse: each panel's corners are projected to
// window pixels, panels are rejected by their bounding box, and an angle sum
// decides whether the mouse point lies inside the projected quadrilateral.
#pragma once

#include <cstdint>

#include "scene/panels.h"

// The grab: set by picking, let go (ReleaseGrab) by the frame driver when
// the left button is up. grabbedPanel is meaningful only while grabActive
// is 1.
extern int32_t grabActive;
extern int32_t grabbedPanel;

// Inside a convex quadrilateral the angles sum to 360 degrees; the half
// degree admits points a hair outside the middle of an edge.
constexpr float PICK_HIT_DEGREES = 359.5f;
constexpr int32_t NO_PANEL = -1;

// A corner in window pixels: origin at the client area's top left, y down.
struct ScreenCorner {
    float sx;
    float sy;
};

// Projects the panel's four corners with picking's own perspective (the
// projection centre lies pickDistance behind the eye). False, with nothing
// written, when a corner is not in front of the eye (z <= 0 or not a number).
bool ProjectPanelCorners(const Panel& panel, ScreenCorner corners[4]);

// True when all four corners lie strictly on one side of the mouse point,
// in x or in y.
bool OutsideBoundingBox(const ScreenCorner corners[4], float mx, float my);

// The sum, in degrees and single precision, of the angles that the corner
// pairs (3, 0), (2, 3), (1, 2), (0, 1) subtend at the mouse point. A corner on
// the point counts 180 degrees on both of its pairs.
float AngleSumDegrees(const ScreenCorner corners[4], float mx, float my);

// True when the mouse point passes the bounding box and the angle sum reaches
// PICK_HIT_DEGREES.
bool QuadHoldsPoint(const ScreenCorner corners[4], float mx, float my);

// The first panel, in index order, whose projection holds the mouse point
// (client pixels); NO_PANEL if none does.
int32_t FindPanelAt(float mx, float my);

// The pick phase: unless a panel is already held, grabs the panel under the
// mouse point (client pixels: from the client area's top left, y down).
void PickPanel(float mx, float my);

// Lets go of the grabbed panel.
void ReleaseGrab();
