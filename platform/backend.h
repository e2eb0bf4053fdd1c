// The seam between the shared platform code and one backend.
//
// platform_common.cpp keeps the message queue, the asynchronous key table,
// the cursor display count and the path translation. A backend supplies the
// window, the GL context, the clock, the cursor and the events, and feeds
// its events in through the functions below.
#pragma once

#include "platform/platform.h"

// --- Supplied by the backend ----------------------------------------------

// Turns the window system's pending events into posted messages.
void BackendPumpEvents();
// The procedure that was given when the window was made; null once destroyed.
WindowProc BackendWindowProcOf(WindowHandle window);
// Makes the cursor visible or hidden on the screen.
void BackendSetCursorVisible(bool visible);

// --- Supplied by the shared code, for backends -----------------------------

void PlatformPostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Calls the window's procedure at once, as a sent message.
intptr_t PlatformSendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Drops queued messages for a window that is going away.
void PlatformForgetWindow(WindowHandle window);
// A key went down or up: records it in the asynchronous key table and, when
// there is a window, posts WM_KEYDOWN or WM_KEYUP (either Shift key as VK_SHIFT).
void PlatformKeyEvent(WindowHandle window, int virtualKey, bool down);
// Lets go of every key the key table holds down, as key-up events (the window
// lost the keyboard and will not hear the releases).
void PlatformReleaseHeldKeys(WindowHandle window);
// The cursor display count that PlatformShowCursor keeps.
int PlatformCursorDisplayCount();
// Forgets every queued message, key state, quit request and cursor count.
void PlatformResetSharedState();
