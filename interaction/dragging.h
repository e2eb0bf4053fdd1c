// Dragging the grabbed slide or cursor window along its rule, within the
// ends of the first rule's upper body strip.
#pragma once

#include <cstdint>

// Scene units per pixel per unit of depth; start-up sets the default and the
// digit keys change it.
extern float dragSensitivity;
constexpr float DEFAULT_DRAG_SENSITIVITY = 0.0002f;
void SetDefaultDragSensitivity();
// For a setting brought back: the sensitivity it had.
void SetDragSensitivity(float sensitivity);

// The slide or cursor window (panel 0, 2, 4 or 6) the user took hold of last;
// -1 before any.
extern int32_t lastDraggedPanel;

// What each main-keyboard digit '0' to '9' sets, finest to fastest.
constexpr float DIGIT_SENSITIVITY[10] = {0.00001f, 0.00005f, 0.0001f, 0.0004f, 0.0008f,
                                         0.001f,   0.003f,   0.005f,  0.007f,  0.01f};

// A cursor window's right edge may pass the body's right end by this much.
constexpr double CURSOR_RIGHT_MARGIN = 0.25;
// Panels at this depth do not move at all; one pixel covers more the farther
// a panel lies.
constexpr double DRAG_DEPTH_OFFSET = 2.0;

// Polls the digit keys in ascending order; each one held or pressed since
// its last poll sets its sensitivity, so the highest digit wins.
void ReadSensitivityKeys();

// Cuts a shift so that leftEdge stays at or right of leftLimit, then so that
// rightEdge stays at or left of rightLimit. An edge that would cross its limit
// stops exactly on it; one already on or past it does not move outward.
double LimitDragDelta(double delta, float leftEdge, float leftLimit, float rightEdge, float rightLimit);

// Whether the panel is a slide or a cursor window (0, 2, 4 or 6): the parts
// that move; the body strips do not.
bool IsMovablePanel(int32_t panel);

// Moves a slide or cursor window (0, 2, 4 or 6) along x by `delta` scene
// units, cut at the rule's ends as a drag is; any other panel does not move.
// Returns the shift that was made.
double MovePanelAlongRule(int32_t panel, double delta);

// Moves the panel along x by the given mouse motion as its drag case says:
// a cursor window (0, 4) or a slide (2, 6). Any other panel does not move.
void DragPanelByPixels(int32_t panel, float dxPixels);

// The drag phase, while the left button is held: the sensitivity keys, then
// the grabbed panel moved by the mouse's horizontal motion since the
// previous pass (pixels).
void DragGrabbedPanel(float dxPixels);
