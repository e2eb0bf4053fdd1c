#include "app/frame_driver.h"

#include "app/app_window.h"
#include "app/controls.h"
#include "app/last_setting.h"
#include "interaction/pick_and_drag.h"
#include "learning/command_line.h"
#include "learning/demonstration.h"
#include "learning/lessons.h"
#include "reading/readout_overlay.h"
#include "render/scene_renderer.h"
#include "render/text_panel.h"
#include "render/view.h"
#include "scene/panels.h"
#include "scene/transforms.h"

FrameClock frameClock;
float viewYaw = 0.0f;
float viewPitch = 0.0f;

namespace {

bool KeyHeld(int virtualKey) { return PlatformGetAsyncKeyState(virtualKey) != 0; }

// The limits of zoom and pan are taken from corner 0 of the first upper body strip.
float* ReferenceCorner() { return panelTable.panels[PANEL_UPPER_BODY_A].corner[0]; }

// Moves every panel along z, away from the eye for a positive distance.
void MoveAlongZ(double distance) { TranslateAllPanels(Vec3f{0.0f, 0.0f, static_cast<float>(distance)}); }

void ZoomBy(double direction) { MoveAlongZ(direction * ZOOM_SPEED * frameClock.elapsedSeconds); }

void ApplyZoomKeys() {
    // The second key of each pair is asked only when the first reads 0.
    if ((KeyHeld(VK_UP) || KeyHeld(VK_ADD)) && ReferenceCorner()[2] > ZOOM_IN_LIMIT) ZoomBy(-1.0);
    if ((KeyHeld(VK_DOWN) || KeyHeld(VK_SUBTRACT)) && ReferenceCorner()[2] < ZOOM_OUT_LIMIT) ZoomBy(+1.0);
}

// The wheel's whole notches since the last pass, each a fixed step, the
// zoom keys' limits tested before each; a part of a notch waits for the rest.
void ApplyWheelZoom() {
    while (inputState.wheelDelta >= WHEEL_DELTA || inputState.wheelDelta <= -WHEEL_DELTA) {
        const bool in = inputState.wheelDelta > 0;
        inputState.wheelDelta += in ? -WHEEL_DELTA : WHEEL_DELTA;
        if (in && ReferenceCorner()[2] > ZOOM_IN_LIMIT) MoveAlongZ(-WHEEL_ZOOM_STEP);
        if (!in && ReferenceCorner()[2] < ZOOM_OUT_LIMIT) MoveAlongZ(WHEEL_ZOOM_STEP);
    }
}

// The fine moves asked for since the last pass: the part last dragged moves
// as that much mouse motion would, within the rule's ends; nothing before
// any drag.
void ApplyFineMoves() {
    if (inputState.nudgePixels != 0 && lastDraggedPanel >= 0) {
        DragPanelByPixels(lastDraggedPanel, static_cast<float>(inputState.nudgePixels));
    }
    inputState.nudgePixels = 0;
}

// The mouse point in client pixels: from the client area's top-left corner,
// wherever the window system puts it; without a window, from the window
// rectangle.
void ClientPoint(int32_t screenX, int32_t screenY, float* mx, float* my) {
    int32_t originX = 0;
    int32_t originY = 0;
    if (!PlatformGetClientOrigin(appWindow.window, &originX, &originY)) {
        originX = appWindow.windowRect.left;
        originY = appWindow.windowRect.top;
    }
    *mx = static_cast<float>(static_cast<double>(screenX) - originX);
    *my = static_cast<float>(static_cast<double>(screenY) - originY);
}

// Runs `action` with the panels in the eye's frame, where picking looks for
// them, and turns them back after.
template <typename Action>
void InEyeFrame(Action action) {
    const int32_t last = panelTable.panelCount - 1;
    const Vec3f eye = viewState.eyePoint;
    TranslateAllPanels(Vec3f{-eye.x, -eye.y, -eye.z});
    RotatePanelsAboutY(0, last, viewYaw);
    RotatePanelsAboutX(0, last, viewPitch);
    action();
    RotatePanelsAboutX(0, last, -viewPitch);
    RotatePanelsAboutY(0, last, -viewYaw);
    TranslateAllPanels(eye);
}

// Picking looks for the panel under the cursor as the previous pass read it;
// the drag takes a fresh reading and moves by the horizontal motion since.
void PickInEyeFrame() {
    float mx = 0.0f;
    float my = 0.0f;
    ClientPoint(inputState.cursorX, inputState.cursorY, &mx, &my);
    ReadCursorPosition(&inputState.cursorX, &inputState.cursorY);
    const float dxPixels = static_cast<float>(inputState.cursorX - inputState.prevCursorX);
    InEyeFrame([&] { PickAndDrag(mx, my, dxPixels); });
}

void ApplyPan() {
    const float dx = static_cast<float>((inputState.cursorX - inputState.prevCursorX) * PAN_FACTOR);
    const float dy = static_cast<float>((inputState.cursorY - inputState.prevCursorY) * PAN_FACTOR);
    // Each limit is tested before its move; the sign of the motion decides
    // which test of a pair can apply. Screen y grows downward, so the rule
    // moves up when the mouse does.
    if (ReferenceCorner()[0] > PAN_LIMIT_LEFT && dx < 0) PanPanels(0, dx);
    if (ReferenceCorner()[0] < PAN_LIMIT_RIGHT && dx > 0) PanPanels(0, dx);
    if (ReferenceCorner()[1] < PAN_LIMIT_TOP && dy < 0) PanPanels(1, -dy);
    if (ReferenceCorner()[1] > PAN_LIMIT_BOTTOM && dy > 0) PanPanels(1, -dy);
}

}  // namespace

bool OnMovablePart(int32_t clientX, int32_t clientY) {
    int32_t panel = NO_PANEL;
    InEyeFrame([&] { panel = FindPanelAt(static_cast<float>(clientX), static_cast<float>(clientY)); });
    return IsMovablePanel(panel);
}

// Shift, held, magnifies; not while it types capitals into the command line.
void ApplyMagnifier() { SetMagnified(!commandLine.open && KeyHeld(VK_SHIFT)); }

void DiscardKeyPresses() {
    for (int key = 0; key < VK_COUNT; ++key) PlatformGetAsyncKeyState(key);
}

void DrawOverlays() {
    const bool lineShown = commandLine.open || !commandLine.message.empty();
    if (!readoutOverlay.shown && !helpOverlay.shown && !lineShown) return;
    const int width = static_cast<int>(viewState.clientWidth);
    const int height = static_cast<int>(viewState.clientHeight);
    if (width <= 0 || height <= 0) return;
    BeginOverlay(width, height);
    DrawReadouts(width, height);
    DrawCommandLine(width, height);
    DrawHelp(width, height);
    EndOverlay();
}

void RenderFrame() {
    ClearBuffers();
    RenderScene();
    DrawOverlays();
    PresentFrame();
}

void DriveFrame() {
    // Keys typed into the command line count for nothing else, then or later.
    if (commandLine.open) DiscardKeyPresses();
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

    if (!commandLine.open) ApplyZoomKeys();
    ApplyWheelZoom();
    ApplyFineMoves();
    // A drag stops a demonstration where it is; otherwise it moves on.
    if (inputState.leftButtonDown != 0) StopDemonstration();
    AdvanceDemonstration(now);

    ClearOrbitSteps();

    if (inputState.leftButtonDown == 0) {
        ReleaseGrab();
    } else {
        PickInEyeFrame();
        if (grabActive == 1 && IsMovablePanel(grabbedPanel)) NoteRuleInUse(grabbedPanel >= PANEL_CURSOR_B ? 1 : 0);
    }

    ReadCursorPosition(&inputState.cursorX, &inputState.cursorY);
    if (inputState.rightButtonDown == 1) ApplyPan();
    inputState.prevCursorX = inputState.cursorX;
    inputState.prevCursorY = inputState.cursorY;

    PublishSettingWhenChanged();
}
