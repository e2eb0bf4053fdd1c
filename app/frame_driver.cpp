#include "app/frame_driver.h"

#include "app/app_window.h"
#include "interaction/pick_and_drag.h"
#include "reading/reading_aids.h"
#include "render/scene_renderer.h"
#include "render/view.h"
#include "scene/panels.h"
#include "scene/transforms.h"

FrameClock frameClock = {0.0f, 0.0f};
float viewYaw = 0.0f;
float viewPitch = 0.0f;

namespace {

bool KeyHeld(int virtualKey) { return PlatformGetAsyncKeyState(virtualKey) != 0; }

// The limits of zoom and pan are taken from corner 0 of the first upper body strip.
float* ReferenceCorner() { return panelTable.panels[PANEL_UPPER_BODY_A].corner[0]; }

// Moves every panel along z, away from the eye for a positive distance.
void MoveAlongZ(double distance) {
    panelShift.z = static_cast<float>(distance);
    TranslatePanels(0, panelTable.panelCount);
    panelShift.z = 0.0f;
}

void ZoomBy(double direction) { MoveAlongZ(direction * ZOOM_SPEED * frameClock.elapsedSeconds); }

// Pan writes the corners directly, bypassing the translation's markers.
void PanAxis(int axis, float amount) {
    for (int32_t i = 0; i < panelTable.panelCount; ++i) {
        for (auto& corner : panelTable.panels[i].corner) {
            corner[axis] = static_cast<float>(static_cast<double>(corner[axis]) + amount);
        }
    }
}

void ApplyZoomKeys() {
    // The second key of each pair is asked only when the first reads 0.
    if ((KeyHeld(VK_UP) || KeyHeld(VK_ADD)) && ReferenceCorner()[2] > ZOOM_IN_LIMIT) ZoomBy(-1.0);
    if ((KeyHeld(VK_DOWN) || KeyHeld(VK_SUBTRACT)) && ReferenceCorner()[2] < ZOOM_OUT_LIMIT) ZoomBy(+1.0);
}

// The wheel's whole notches since the last pass, each a fixed step, the
// zoom keys' limits tested before each; a part of a notch waits for the rest.
void ApplyWheelZoom() {
    while (readingAids.wheelDelta >= WHEEL_DELTA || readingAids.wheelDelta <= -WHEEL_DELTA) {
        const bool in = readingAids.wheelDelta > 0;
        readingAids.wheelDelta += in ? -WHEEL_DELTA : WHEEL_DELTA;
        if (in && ReferenceCorner()[2] > ZOOM_IN_LIMIT) MoveAlongZ(-WHEEL_ZOOM_STEP);
        if (!in && ReferenceCorner()[2] < ZOOM_OUT_LIMIT) MoveAlongZ(WHEEL_ZOOM_STEP);
    }
}

void PickInEyeFrame() {
    const int32_t last = panelTable.panelCount - 1;
    const Vec3f eye = viewState.eyePoint;
    panelShift = Vec3f{-eye.x, -eye.y, -eye.z};
    TranslatePanels(0, panelTable.panelCount);
    RotatePanelsAboutY(0, last, viewYaw);
    RotatePanelsAboutX(0, last, viewPitch);
    PickAndDrag();
    RotatePanelsAboutX(0, last, -viewPitch);
    RotatePanelsAboutY(0, last, -viewYaw);
    panelShift = eye;
    TranslatePanels(0, panelTable.panelCount);
}

void ApplyPan() {
    const float dx = static_cast<float>((inputState.cursorX - inputState.prevCursorX) * PAN_FACTOR);
    const float dy = static_cast<float>((inputState.cursorY - inputState.prevCursorY) * PAN_FACTOR);
    // Each limit is tested before its move; the sign of the motion decides
    // which test of a pair can apply. Screen y grows downward, so the rule
    // moves up when the mouse does.
    if (ReferenceCorner()[0] > PAN_LIMIT_LEFT && dx < 0) PanAxis(0, dx);
    if (ReferenceCorner()[0] < PAN_LIMIT_RIGHT && dx > 0) PanAxis(0, dx);
    if (ReferenceCorner()[1] < PAN_LIMIT_TOP && dy < 0) PanAxis(1, -dy);
    if (ReferenceCorner()[1] > PAN_LIMIT_BOTTOM && dy > 0) PanAxis(1, -dy);
}

}  // namespace

void ApplyMagnifier() {
    viewState.nearPlane = viewState.baseNearPlane;
    viewState.pickDistance = viewState.basePickDistance;
    if (KeyHeld(VK_SHIFT)) {
        viewState.nearPlane = 2.0f * viewState.nearPlane;
        viewState.pickDistance = 2.0f * viewState.pickDistance;
    }
}

void RenderFrame() {
    ClearBuffers();
    RenderScene();
    DrawReadingAids();
    PresentFrame();
}

void DriveFrame() {
    SetupPerspectiveProjection();
    PlatformGetWindowRect(appWindow.window, &appWindow.windowRect);
    ApplyMagnifier();
    RenderFrame();

    const uint32_t now = PlatformGetTickCount();
    double elapsed = (static_cast<double>(now) - static_cast<double>(frameClock.frameStamp)) * TICK_SCALE;
    // Ordinary frames keep their exact time; a pause, or the tick count
    // wrapping past 2^32, counts for no more than the cap either way.
    if (elapsed > MAX_PASS_SECONDS) elapsed = MAX_PASS_SECONDS;
    if (elapsed < -MAX_PASS_SECONDS) elapsed = -MAX_PASS_SECONDS;
    frameClock.elapsedSeconds = static_cast<float>(elapsed);
    frameClock.frameStamp = static_cast<float>(PlatformGetTickCount());

    ApplyZoomKeys();
    ApplyWheelZoom();
    ApplyFineMoves();

    viewState.orbitYawStep = 0.0f;
    viewState.orbitPitchStep = 0.0f;

    if (inputState.leftButtonDown == 0) {
        grabActive = 0;
    } else {
        PickInEyeFrame();
    }

    ReadCursorPosition(&inputState.cursorX, &inputState.cursorY);
    if (inputState.rightButtonDown == 1) ApplyPan();
    inputState.prevCursorX = inputState.cursorX;
    inputState.prevCursorY = inputState.cursorY;
}
