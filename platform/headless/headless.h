// Controls of the headless backend, for tests, benchmarks and tools.
//
// The headless backend draws into an EGL pbuffer on Mesa's surfaceless
// platform: no display server is needed. The caller plays the part of the
// user and the window system: it sets the screen, the window's place, the
// clock and the cursor, and posts the input messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class HeadlessButton { Left, Right };

// What a failure switch makes fail, to exercise the program's error paths.
enum class HeadlessFailure { None, Window, GlContext };

struct HeadlessMessageBox {
    std::string caption;
    std::string text;
};

// Back to the defaults: a 640 x 480 screen, no frame, client origin (0, 0),
// tick count 0, cursor at (0, 0), no failures, no recorded boxes. Also clears
// the shared message queue and key table. Call it before making a window.
void HeadlessReset();

void HeadlessSetScreenSize(int width, int height);
// The display as the browser's would be: the text's scale (1 as on the
// desktop) and whether the picture keeps its proportions (as on a phone).
// It stays as set through HeadlessReset, as a machine's display would: set
// it back to (1, false), the desktop's, when done.
void HeadlessSetDisplay(double textScale, bool keepsProportions);
// Frame thickness around the client area; the window rectangle is the client
// rectangle grown by it. The window's top-left corner stays where it was put.
void HeadlessSetFrame(int left, int top, int right, int bottom);
void HeadlessFailNext(HeadlessFailure failure);

void HeadlessSetTicks(uint32_t milliseconds);
void HeadlessAdvanceTicks(uint32_t milliseconds);
void HeadlessSetCursor(int32_t screenX, int32_t screenY);
// Makes every later cursor read move the scripted cursor by (dx, dy) after it
// has been read, as a hand that moves while a frame runs; (0, 0) stops it.
// Reads between two drains give the position the drain saw.
void HeadlessMoveCursorAtEveryRead(int32_t dx, int32_t dy);
// Records the key in the asynchronous key table and posts WM_KEYDOWN/WM_KEYUP.
void HeadlessKey(int virtualKey, bool down);
// Types the text as a user would: for each character its key goes down
// (where it has a virtual-key code: digits, letters, space), WM_CHAR follows,
// and the key comes up again.
void HeadlessType(const char* text);
// Posts the button message of a press or a release.
void HeadlessMouseButton(HeadlessButton button, bool down);
// Posts WM_MOUSEWHEEL for a turn of the wheel by `notches` (away from the
// user positive).
void HeadlessWheel(int notches);
// Posts WM_CLOSE, as the close box does.
void HeadlessClose();
// Resizes the drawing surface and posts WM_SIZE with the new client size.
void HeadlessResizeClient(int width, int height);

// The client area's origin and size as the headless window has them.
int32_t HeadlessClientOriginX();
int32_t HeadlessClientOriginY();
int HeadlessClientWidth();
int HeadlessClientHeight();

// Reads the current drawing surface as RGBA, top row first.
std::vector<uint8_t> HeadlessReadPixels();
// Makes every later present keep a copy of what it presented.
void HeadlessCapturePresented(bool capture);
// The picture of the last present (RGBA, top row first), when capturing.
const std::vector<uint8_t>& HeadlessLastPresented();
int HeadlessPresentCount();
// Makes every later present leave the back buffer filled with a garbage
// colour (after the copy above is taken), as a real swap may leave it
// undefined: a picture that is not drawn in full shows the garbage.
void HeadlessSpoilAfterPresent(bool spoil);
constexpr uint8_t HEADLESS_SPOIL_RGB[3] = {255, 0, 255};
int HeadlessCursorDisplayCount();

const std::vector<HeadlessMessageBox>& HeadlessMessageBoxes();
