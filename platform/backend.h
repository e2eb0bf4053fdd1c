// The seam between the shared platform code and one backend.
//
// platform_common.cpp keeps the one window with its procedure, the message
// queue, the asynchronous key table, the mouse buttons held, the cursor
// display count and the path translation. A backend supplies the window
// system's window, the GL context, the clock, the cursor and the events, and
// feeds its events in through the functions below.
#pragma once

#include "platform/platform.h"

// --- Supplied by the backend ----------------------------------------------

// Turns the window system's pending events into posted messages.
void BackendPumpEvents();
// Frees the backend's window object and what it holds of the window system,
// once the shared code has let the window go: after WM_DESTROY, or when the
// procedure refused WM_CREATE.
void BackendFreeWindow(WindowHandle window);
// Makes the cursor visible or hidden on the screen.
void BackendSetCursorVisible(bool visible);

// --- Supplied by the shared code, for backends -----------------------------

// Makes the backend's new window the one window, with `proc` as its
// procedure, and sends it WM_CREATE. When the procedure refuses the window,
// it is let go again (BackendFreeWindow) and the result is false.
bool PlatformAdoptWindow(WindowHandle window, WindowProc proc);
// The one window; null while there is none.
WindowHandle PlatformMainWindow();

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
// Text was typed: posts WM_CHAR for each character of the UTF-8 text that
// code page 1252 has (printable ones only; others are dropped).
void PlatformTextEvent(WindowHandle window, const char* utf8);

enum class PlatformButton { Left, Right };
// A mouse button went down or up at `where` in the client area (packed as
// MakeSizeParam packs it): notes whether it is held and, when there is a
// window, posts WM_LBUTTONDOWN/UP or WM_RBUTTONDOWN/UP.
void PlatformButtonEvent(WindowHandle window, PlatformButton button, bool down, intptr_t where);
// Whether the button was seen going down in the window and not yet up.
bool PlatformButtonHeld(PlatformButton button);
// The window lost the keyboard: lets go of the keys held down
// (PlatformReleaseHeldKeys) and of the buttons held, with WM_LBUTTONUP and
// WM_RBUTTONUP at (0, 0), so that nothing stays down in the program after
// its release went elsewhere.
void PlatformReleaseHeldInput(WindowHandle window);

// The cursor display count that PlatformShowCursor keeps.
int PlatformCursorDisplayCount();
// Forgets every queued message, key and button state, quit request and
// cursor count.
void PlatformResetSharedState();
