// The small platform layer that the program runs on.
//
// Everything the program needs from the window system, the GL context
// provider, the input devices and the clock goes through this header. It is
// shaped after the classic desktop API the program was first written for:
// messages go through one window procedure, keys are polled by virtual-key
// code, cursor positions are screen pixels. Backends are chosen at link time
// (platform/sdl for the program on the desktop, platform/web for it in the
// browser, platform/headless for tests and tools); what they share is in
// platform_common.cpp, behind backend.h.
#pragma once

#include <cstdint>
#include <cstdio>

// Virtual-key codes, as the program polls and receives them.
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_0 = 0x30,  // '0' to '9' are 0x30 to 0x39, the main keyboard's digits
    VK_9 = 0x39,
    VK_A = 0x41,  // 'A' to 'Z' are 0x41 to 0x5A
    VK_NUMPAD0 = 0x60,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_F1 = 0x70,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_COUNT = 256
};

// Window messages.
enum : uint32_t {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MOUSEWHEEL = 0x020A
};

// WM_KEYDOWN's lParam has this bit set when the key was already down: a
// repeat of a held key.
constexpr intptr_t KEY_REPEAT_BIT = intptr_t{1} << 30;
// WM_CHAR carries a typed character in wParam: a code of code page 1252
// (printable ASCII as itself), after the WM_KEYDOWN of the key that typed it.
// The program reads it only while it takes text.
// WM_MOUSEWHEEL carries the wheel's turn in the high word of wParam, a
// signed count of this per notch, positive away from the user.
constexpr int WHEEL_DELTA = 120;

// A window procedure returns this from WM_CREATE to refuse the window.
constexpr intptr_t WINDOW_CREATE_REFUSED = -1;

struct PlatformWindow;
struct PlatformGlContext;
using WindowHandle = PlatformWindow*;
using GlContextHandle = PlatformGlContext*;

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct PlatformMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// What the program asks of the window's framebuffer. Some window systems fix
// the framebuffer format when the window is made, so the request is handed
// over at creation time.
struct PixelFormatRequest {
    int colorBits;
    int redBits;
    int greenBits;
    int blueBits;
    int alphaBits;
    int depthBits;
    bool doubleBuffer;
};

// Packs a client size the way WM_SIZE carries it: width in the low word,
// height in the high word.
constexpr intptr_t MakeSizeParam(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(width) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(height) & 0xFFFFu) << 16));
}
constexpr uint16_t LowWord(intptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
constexpr uint16_t HighWord(intptr_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }
// Packs a wheel turn the way WM_MOUSEWHEEL carries it in wParam.
constexpr uintptr_t MakeWheelParam(int delta) { return static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16; }

// --- Window and GL context -------------------------------------------------

// Size of the primary screen in pixels; 0 when no screen can be reached.
int PlatformScreenWidth();
int PlatformScreenHeight();

// How much larger than the desktop's the program's text is drawn, in the
// window's pixels: 1 on the desktop; in the browser the page's pixel density
// times what brings the text to the page's own text size.
double PlatformTextScale();
// Whether the picture keeps the proportions it was made for inside a window
// of another shape (fitted, with bands), rather than filling the window: so
// in the browser, whose canvas may be a phone held upright; the desktop's
// window is the screen, which the picture fills.
bool PlatformKeepsProportions();

// Creates a decorated, resizable window and sends WM_CREATE to `proc` before
// returning. Returns null (with PlatformLastError set) when the window cannot
// be made or when the procedure refuses WM_CREATE.
WindowHandle PlatformCreateWindow(const char* title, int x, int y, int width, int height,
                                  const PixelFormatRequest& format, WindowProc proc);
// Shows the window; sends WM_SIZE with the client size before returning.
void PlatformShowWindow(WindowHandle window);
// Destroys the window; sends WM_DESTROY to its procedure first.
void PlatformDestroyWindow(WindowHandle window);
bool PlatformIsWindow(WindowHandle window);

GlContextHandle PlatformCreateGlContext(WindowHandle window);
bool PlatformMakeCurrent(WindowHandle window, GlContextHandle context);
void PlatformDeleteGlContext(GlContextHandle context);
// Presents the back buffer of the surface that the current context draws to.
void PlatformSwapBuffers();

// The reason of the last failure of a create call, for messages.
const char* PlatformLastError();

// --- Messages --------------------------------------------------------------

// Collects pending input from the window system; true when a message waits.
bool PlatformPeekMessage();
// Takes the next message; false when it is WM_QUIT.
bool PlatformGetMessage(PlatformMessage* message);
intptr_t PlatformDispatchMessage(const PlatformMessage& message);
// Default handling: WM_CLOSE destroys the window; everything else returns 0.
intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PlatformPostQuitMessage(int exitCode);

// --- The main loop -------------------------------------------------------------

// Runs `pass` again and again until it returns false: on the desktop in a
// loop that never waits; in the browser once each animation frame, and
// there the call does not return.
void PlatformRunMainLoop(bool (*pass)());

// Keeps the rules' setting text where the user comes back to it: in the
// browser, the page's address (#set=TEXT, replacing the entry in the
// history, not adding one); nothing on the desktop.
void PlatformPublishSetting(const char* text);

// --- Input and time --------------------------------------------------------

// Nonzero when the key is down now (bit 15) or has been pressed since the
// previous query of the same key (bit 0).
int16_t PlatformGetAsyncKeyState(int virtualKey);
// Cursor position in screen pixels as of the last collection of pending events
// (the drain of the message queue): every read between two drains gives the
// same position. False when it cannot be read.
bool PlatformGetCursorPos(int32_t* x, int32_t* y);
// Window rectangle (frame included) in screen pixels.
bool PlatformGetWindowRect(WindowHandle window, ScreenRect* rect);
// Screen position of the client area's top-left corner.
bool PlatformGetClientOrigin(WindowHandle window, int32_t* x, int32_t* y);
// Where a touch screen has them: the program's answer to whether a finger
// put down at a point of the client area (pixels from its top-left corner)
// lies on a part it drags. One finger there then works as the left button
// held, one finger elsewhere as the right button, two fingers zoom and pan.
// Asked as the pass that sees the finger there begins. Nothing on the
// desktop.
void PlatformSetTouchTarget(bool (*onMovablePart)(int32_t clientX, int32_t clientY));
// Milliseconds since some fixed moment, wrapping at 2^32.
uint32_t PlatformGetTickCount();
// Raises the cursor display count by one; the cursor is shown while the count
// is zero or more. Returns the new count.
int PlatformShowCursor();

// --- Messages to the user and files ---------------------------------------

// Shows a modal error box (and writes the same text to standard error).
void PlatformShowMessageBox(WindowHandle owner, const char* text, const char* caption);
// Opens a file whose path may use '\' as the separator.
FILE* PlatformOpenFile(const char* path, const char* mode);
// Paths: PlatformTranslatePath, PlatformSetRelativeBase, PlatformResolvePath,
// PlatformExecutableDirectory.
#include "platform/file_paths.h"

// Read-only views of whole files: PlatformMapFile, PlatformUnmapFile.
#include "platform/mapped_file.h"

// --- Text ------------------------------------------------------------------

// Builds the display lists listBase + first to listBase + first + count - 1,
// one per character code: each draws the glyph of the face with glBitmap at
// the raster position and then advances the raster position by the glyph's
// advance width. The face is found by family name; `cellHeight` is the
// pixel height of ascent plus descent. Codes 128 to 255 are those of code
// page 1252. Needs a current GL context. False when no face can be loaded;
// the lists are then left as they were. Where `advances` is given, entry k
// receives the pixels that code first + k advances the raster position.
bool PlatformUseFontBitmaps(const char* faceName, int cellHeight, bool bold, int first, int count, uint32_t listBase,
                            float* advances = nullptr);
