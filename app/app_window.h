// The program's entry, its window and main loop, and the one-time start-up.
#pragma once

#include <cstdint>

#include "app/startup.h"
#include "platform/platform.h"

struct AppWindow {
    WindowHandle window = nullptr;       // the main window; owner of the loader's error boxes
    GlContextHandle glContext = nullptr;  // made current at WM_CREATE, deleted at WM_DESTROY
    ScreenRect windowRect = {};          // refreshed at the start of every frame
};

// What the window procedure and the frame record of the user's input. All
// fields are 0 at process start.
struct InputState {
    int32_t leftButtonDown = 0;
    int32_t rightButtonDown = 0;
    int32_t cursorX = 0;          // screen pixels, as last read
    int32_t cursorY = 0;
    int32_t prevCursorX = 0;      // at the end of the previous frame
    int32_t prevCursorY = 0;
    int32_t quitRequested = 0;    // Escape was pressed
    int32_t startupDone = 0;
    // Moves asked for since the last pass, applied by the next pass.
    int32_t nudgePixels = 0;  // the left and right arrows: a pixel of mouse motion's worth a press or repeat
    int32_t wheelDelta = 0;   // the wheel: WHEEL_DELTA a notch, away from the user positive
};

extern AppWindow appWindow;
extern InputState inputState;

// The window's title; the leading blank is part of it.
constexpr const char* MAIN_WINDOW_TITLE = " Vernaskel";

// Double-buffered RGBA with 8 bits a colour and a 16-bit depth buffer.
constexpr PixelFormatRequest MAIN_PIXEL_FORMAT = {32, 8, 8, 8, 0, 16, true};

// The entry: makes the window, runs the main loop, keeps the setting the
// rules were left in, returns the exit status. It returns 1 with a message
// when the window or its GL context cannot be made, and 0 otherwise.
int WinMain();

// Creates and shows the screen-sized window; WM_CREATE and WM_SIZE have been
// handled when it returns. False (with the reason in PlatformLastError) when
// the window or its GL context cannot be made.
bool CreateMainWindow();

// One pass of the main loop: drain the messages, run start-up once, drive one
// frame. False when the loop is over (Escape, or the window was closed).
bool RunMainLoopPass();
// The same, with whoever times start-up told of each of its steps.
bool RunMainLoopPassWatched(const StartupWatch& watch);

intptr_t MainWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Escape asks to quit (or ends a demonstration); R and F1 toggle the readout
// and the help; the left and right arrows ask for fine moves; Enter, Space,
// P and S work the command line, demonstrations and practice. While the
// command line is open, keys only type.
void HandleKeyDown(uintptr_t virtualKey, intptr_t lParam);
void HandleKeyUp(uintptr_t virtualKey);

// Cursor position in screen pixels, as the platform saw it at the last drain
// of the message queue; (0, 0) when it cannot be read.
void ReadCursorPosition(int32_t* x, int32_t* y);
