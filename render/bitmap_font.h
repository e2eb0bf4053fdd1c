// Bitmap text drawn from one display list per character code.
#pragma once

#include <cstdint>

struct BitmapFont {
    uint32_t listBase = 0;      // list of character code k is listBase + k
    int32_t listCount = 256;    // lists reserved for the block
    float cellHeight = 0.0f;    // pixels; places text vertically
    float advance[256] = {};    // pixels the raster position moves on after each code
};

extern BitmapFont bitmapFont;

// A formatted text holds up to 255 characters and its terminating zero.
constexpr int TEXT_BUFFER_SIZE = 256;
// Codes 0 to 254 have glyphs; the list of 255 is reserved and stays empty.
constexpr int GLYPH_COUNT = 255;

// Reserves listCount lists, fills those of codes 0 to 254 with the glyphs of
// the face (bold, `height` pixels from the top of the cell to its bottom) and
// returns the first list.
uint32_t CreateBitmapFont(const char* faceName, int32_t height);

// The program's text font, as start-up makes it: bold Arial, 12 pixels on the
// desktop, larger where the platform's text is (PlatformTextScale).
void CreateTextFont();

// Pixels of text at the font's scale: the desktop's `pixels` as they are
// there, rounded to the nearest pixel elsewhere.
int TextPixels(int pixels);

// How far text takes the raster position: the width it is drawn in.
float TextWidth(const char* text);

// Puts the raster position at the text position (x, y), counted in pixels
// from the top-left corner of the client area: the baseline starts 9 pixels
// right of x and cellHeight - 9 pixels below y. Leaves the matrices, the
// matrix mode and the viewport as they were.
void SetTextRasterPosition(int32_t x, int32_t y);

// Prints printf-style text at (x, y) in the colour (r, g, b); nothing at all
// when `format` is null. Text beyond 255 characters is cut off.
void PrintText(int32_t x, int32_t y, float r, float g, float b, const char* format, ...)
    __attribute__((format(printf, 6, 7)));
