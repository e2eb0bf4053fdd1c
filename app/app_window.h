// The program's entry, its window and main loop, and the one-time start-up.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct AppWindow {
    WindowHandle window;      // the main window; owner of the loader's error boxes
    GlContextHandle glContext;  // made current at WM_CREATE, deleted at WM_DESTROY
    ScreenRect windowRect;    // refreshed at the start of every frame
};

// What the window procedure and the frame record of the user's input. All
// fields are 0 at process start.
struct InputState {
    int32_t leftButtonDown;
    int32_t rightButtonDown;
    int32_t cursorX;          // screen pixels, as last read
    int32_t cursorY;
    int32_t prevCursorX;      // at the end of the previous frame
    int32_t prevCursorY;
    int32_t quitRequested;    // Escape was pressed
    int32_t startupDone;
};

extern AppWindow appWindow;
extern InputState inputState;

// The window's title; the leading blank is part of it.
constexpr const char* MAIN_WINDOW_TITLE = " Vernaskel";

// Double-buffered RGBA with 8 bits a colour and a 16-bit depth buffer.
constexpr PixelFormatRequest MAIN_PIXEL_FORMAT = {32, 8, 8, 8, 0, 16, true};

// The entry: makes the window, runs the main loop, returns the exit status.
// It returns 1 with a message when the window or its GL context cannot be
// made, and 0 otherwise.
int WinMain();

// Creates and shows the screen-sized window; WM_CREATE and WM_SIZE have been
// handled when it returns. False (with the reason in PlatformLastError) when
// the window or its GL context cannot be made.
bool CreateMainWindow();

// One pass of the main loop: drain the messages, run start-up once, drive one
// frame. False when the loop is over (Escape, or the window was closed).
bool RunMainLoopPass();

intptr_t MainWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void HandleKeyDown(uintptr_t virtualKey);
void HandleKeyUp(uintptr_t virtualKey);

void RunStartup();
