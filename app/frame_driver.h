// One frame of the main loop: draw, then apply the input of the pass.
#pragma once

#include <cstdint>

#include "scene/move_limits.h"

struct FrameClock {
    float frameStamp = 0.0f;      // tick count in ms at the previous pass, as a float
    float elapsedSeconds = 0.0f;  // since the previous pass; used by the zoom keys
};

extern FrameClock frameClock;

// Turns applied to the panels around picking; nothing changes them.
extern float viewYaw;
extern float viewPitch;

constexpr double TICK_SCALE = 0.001;
constexpr double ZOOM_SPEED = 6.0;      // units per second along z
// The most time one pass may account for. A pass that follows a pause (the
// machine suspended, the process stopped, the window system busy) would
// otherwise move a held zoom by the whole pause at once.
constexpr double MAX_PASS_SECONDS = 0.25;
constexpr double PAN_FACTOR = 0.18;     // units per pixel

// How far a notch of the wheel moves the rules along z.
constexpr double WHEEL_ZOOM_STEP = 0.5;

void DriveFrame();
// Whether picking would take a slide or cursor window at the client point
// (pixels from the client area's top left): where a finger drags rather
// than pans.
bool OnMovablePart(int32_t clientX, int32_t clientY);
void ApplyMagnifier();
// Clear, the scene, the readout and help panels where shown, present.
void RenderFrame();
// The readout, the command line and the help over the scene just drawn,
// where shown; GL's state is left as it was.
void DrawOverlays();
// Forgets every key pressed since it was last asked about (the keys typed
// into the command line).
void DiscardKeyPresses();
