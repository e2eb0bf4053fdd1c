// Headless backend: an off-screen surface (headless_gl.h), with the caller
// standing in for the user and the window system.
#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_gl.h"

struct PlatformWindow {
    int x;
    int y;
    int clientWidth;
    int clientHeight;
    HeadlessSurface* surface;
};

namespace {

struct Frame {
    int left, top, right, bottom;
};

struct HeadlessState {
    int screenWidth = 640;
    int screenHeight = 480;
    double textScale = 1.0;
    bool keepsProportions = false;
    Frame frame{0, 0, 0, 0};
    HeadlessFailure failNext = HeadlessFailure::None;
    uint32_t ticks = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    // The scripted cursor as the last drain saw it; every read gives it.
    bool cursorTaken = false;
    int32_t drainCursorX = 0;
    int32_t drainCursorY = 0;
    int32_t moveAtReadX = 0;
    int32_t moveAtReadY = 0;
    bool capturePresented = false;
    bool spoilAfterPresent = false;
    std::vector<uint8_t> lastPresented;
    int presentCount = 0;
    std::vector<HeadlessMessageBox> messageBoxes;
};

HeadlessState state;
std::string lastError;

bool TakeFailure(HeadlessFailure failure) {
    if (state.failNext != failure) return false;
    state.failNext = HeadlessFailure::None;
    return true;
}

std::vector<uint8_t> ReadSurface(int width, int height) {
    std::vector<uint8_t> rows(static_cast<size_t>(width) * static_cast<size_t>(height) * 4u);
    if (rows.empty()) return rows;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> bottomUp(rows.size());
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t stride = static_cast<size_t>(width) * 4u;
    for (int row = 0; row < height; ++row) {
        const size_t from = static_cast<size_t>(height - 1 - row) * stride;
        std::copy(bottomUp.begin() + static_cast<long>(from), bottomUp.begin() + static_cast<long>(from + stride),
                  rows.begin() + static_cast<long>(static_cast<size_t>(row) * stride));
    }
    return rows;
}

}  // namespace

// --- Platform interface ----------------------------------------------------

int PlatformScreenWidth() { return state.screenWidth; }
int PlatformScreenHeight() { return state.screenHeight; }

WindowHandle PlatformCreateWindow(const char*, int x, int y, int width, int height,
                                  const PixelFormatRequest& format, WindowProc proc) {
    if (TakeFailure(HeadlessFailure::Window)) {
        lastError = "cannot create the window: refused by the test";
        return nullptr;
    }
    const int clientWidth = width - state.frame.left - state.frame.right;
    const int clientHeight = height - state.frame.top - state.frame.bottom;
    HeadlessSurface* surface = HeadlessGlCreateSurface(format, clientWidth, clientHeight, &lastError);
    if (surface == nullptr) return nullptr;
    PlatformDestroyWindow(PlatformMainWindow());
    auto* window = new PlatformWindow{x, y, clientWidth, clientHeight, surface};
    return PlatformAdoptWindow(window, proc) ? window : nullptr;
}

void PlatformShowWindow(WindowHandle window) {
    PlatformSendMessage(window, WM_SIZE, 0, MakeSizeParam(window->clientWidth, window->clientHeight));
}

void BackendFreeWindow(WindowHandle window) {
    HeadlessGlDestroySurface(window->surface);
    delete window;
}

GlContextHandle PlatformCreateGlContext(WindowHandle window) {
    if (TakeFailure(HeadlessFailure::GlContext)) {
        lastError = "cannot create the OpenGL context: refused by the test";
        return nullptr;
    }
    return HeadlessGlCreateContext(window->surface, &lastError);
}

bool PlatformMakeCurrent(WindowHandle window, GlContextHandle context) {
    if (context == nullptr || window == nullptr) return HeadlessGlMakeCurrent(nullptr, nullptr);
    if (!HeadlessGlMakeCurrent(window->surface, context)) {
        lastError = "cannot make the OpenGL context current";
        return false;
    }
    return true;
}

void PlatformDeleteGlContext(GlContextHandle context) { HeadlessGlDeleteContext(context); }

void PlatformSwapBuffers() {
    PlatformWindow* window = PlatformMainWindow();
    if (!HeadlessGlHasCurrentContext() || window == nullptr) return;
    // A pbuffer has no front buffer: finishing the frame stands in for showing it.
    glFinish();
    ++state.presentCount;
    if (state.capturePresented) state.lastPresented = ReadSurface(window->clientWidth, window->clientHeight);
    if (state.spoilAfterPresent) {
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        const uint8_t* spoil = HEADLESS_SPOIL_RGB;
        glClearColor(spoil[0] / 255.0f, spoil[1] / 255.0f, spoil[2] / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }
}

const char* PlatformLastError() { return lastError.c_str(); }

double PlatformTextScale() { return state.textScale; }
bool PlatformKeepsProportions() { return state.keepsProportions; }

void BackendPumpEvents() {
    state.cursorTaken = true;
    state.drainCursorX = state.cursorX;
    state.drainCursorY = state.cursorY;
}

bool PlatformGetCursorPos(int32_t* x, int32_t* y) {
    *x = state.cursorTaken ? state.drainCursorX : state.cursorX;
    *y = state.cursorTaken ? state.drainCursorY : state.cursorY;
    // The user's hand moving while the frame runs.
    state.cursorX += state.moveAtReadX;
    state.cursorY += state.moveAtReadY;
    return true;
}

bool PlatformGetClientOrigin(WindowHandle window, int32_t* x, int32_t* y) {
    if (!PlatformIsWindow(window)) return false;
    *x = window->x + state.frame.left;
    *y = window->y + state.frame.top;
    return true;
}

bool PlatformGetWindowRect(WindowHandle window, ScreenRect* rect) {
    if (!PlatformIsWindow(window)) return false;
    *rect = ScreenRect{window->x, window->y,
                       window->x + state.frame.left + window->clientWidth + state.frame.right,
                       window->y + state.frame.top + window->clientHeight + state.frame.bottom};
    return true;
}

uint32_t PlatformGetTickCount() { return state.ticks; }

void BackendSetCursorVisible(bool) {}

void PlatformShowMessageBox(WindowHandle, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    state.messageBoxes.push_back(HeadlessMessageBox{caption, text});
}

// --- Headless controls -----------------------------------------------------

void HeadlessReset() {
    PlatformDestroyWindow(PlatformMainWindow());
    // The display is the machine's: it stays as set.
    const double textScale = state.textScale;
    const bool keepsProportions = state.keepsProportions;
    state = HeadlessState{};
    state.textScale = textScale;
    state.keepsProportions = keepsProportions;
    PlatformResetSharedState();
}

void HeadlessSetScreenSize(int width, int height) {
    state.screenWidth = width;
    state.screenHeight = height;
}

void HeadlessSetDisplay(double textScale, bool keepsProportions) {
    state.textScale = textScale;
    state.keepsProportions = keepsProportions;
}

void HeadlessSetFrame(int left, int top, int right, int bottom) { state.frame = Frame{left, top, right, bottom}; }

void HeadlessFailNext(HeadlessFailure failure) { state.failNext = failure; }

void HeadlessSetTicks(uint32_t milliseconds) { state.ticks = milliseconds; }
void HeadlessAdvanceTicks(uint32_t milliseconds) { state.ticks += milliseconds; }

void HeadlessSetCursor(int32_t screenX, int32_t screenY) {
    state.cursorX = screenX;
    state.cursorY = screenY;
}

void HeadlessMoveCursorAtEveryRead(int32_t dx, int32_t dy) {
    state.moveAtReadX = dx;
    state.moveAtReadY = dy;
}

void HeadlessKey(int virtualKey, bool down) {
    PlatformKeyEvent(PlatformMainWindow(), virtualKey, down);
}

void HeadlessType(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        int virtualKey = -1;
        if (*c >= '0' && *c <= '9') virtualKey = VK_0 + (*c - '0');
        if (*c >= 'a' && *c <= 'z') virtualKey = VK_A + (*c - 'a');
        if (*c >= 'A' && *c <= 'Z') virtualKey = VK_A + (*c - 'A');
        if (*c == ' ') virtualKey = VK_SPACE;
        if (virtualKey >= 0) PlatformKeyEvent(PlatformMainWindow(), virtualKey, true);
        const char one[2] = {*c, '\0'};
        PlatformTextEvent(PlatformMainWindow(), one);
        if (virtualKey >= 0) PlatformKeyEvent(PlatformMainWindow(), virtualKey, false);
    }
}

void HeadlessMouseButton(HeadlessButton button, bool down) {
    const intptr_t where = MakeSizeParam(state.cursorX - HeadlessClientOriginX(), state.cursorY - HeadlessClientOriginY());
    PlatformButtonEvent(PlatformMainWindow(), button == HeadlessButton::Left ? PlatformButton::Left : PlatformButton::Right,
                        down, where);
}

void HeadlessWheel(int notches) {
    PlatformWindow* window = PlatformMainWindow();
    if (window != nullptr) PlatformPostMessage(window, WM_MOUSEWHEEL, MakeWheelParam(notches * WHEEL_DELTA), 0);
}

void HeadlessClose() {
    PlatformWindow* window = PlatformMainWindow();
    if (window != nullptr) PlatformPostMessage(window, WM_CLOSE, 0, 0);
}

void HeadlessResizeClient(int width, int height) {
    PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr || !HeadlessGlResizeSurface(window->surface, width, height)) return;
    window->clientWidth = width;
    window->clientHeight = height;
    PlatformPostMessage(window, WM_SIZE, 0, MakeSizeParam(width, height));
}

int32_t HeadlessClientOriginX() {
    const PlatformWindow* window = PlatformMainWindow();
    return window != nullptr ? window->x + state.frame.left : state.frame.left;
}
int32_t HeadlessClientOriginY() {
    const PlatformWindow* window = PlatformMainWindow();
    return window != nullptr ? window->y + state.frame.top : state.frame.top;
}
int HeadlessClientWidth() {
    const PlatformWindow* window = PlatformMainWindow();
    return window != nullptr ? window->clientWidth : 0;
}
int HeadlessClientHeight() {
    const PlatformWindow* window = PlatformMainWindow();
    return window != nullptr ? window->clientHeight : 0;
}

std::vector<uint8_t> HeadlessReadPixels() {
    const PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr || !HeadlessGlHasCurrentContext()) return {};
    glFinish();
    return ReadSurface(window->clientWidth, window->clientHeight);
}

void HeadlessCapturePresented(bool capture) { state.capturePresented = capture; }
void HeadlessSpoilAfterPresent(bool spoil) { state.spoilAfterPresent = spoil; }
const std::vector<uint8_t>& HeadlessLastPresented() { return state.lastPresented; }
int HeadlessPresentCount() { return state.presentCount; }
int HeadlessCursorDisplayCount() { return PlatformCursorDisplayCount(); }

const std::vector<HeadlessMessageBox>& HeadlessMessageBoxes() { return state.messageBoxes; }
