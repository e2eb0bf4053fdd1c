// The mipmap levels of a texture, built by the program itself: exactly the
// bytes that Mesa's GLU 9.0 gluBuild2DMipmaps uploads for 8-bit RGB and RGBA
// pictures, the same on every platform, with far less work.
//
// Level 0 is the picture at power-of-two size: as it is when its sides are
// powers of two already, otherwise scaled by GLU's area-weighted box filter
// in single-precision float (an exact 2:1 shrink halves instead). Each
// further level halves the one before down to 1 x 1: (a + b + c + d + 2) / 4
// per channel, or (a + b) / 2 once a side is 1.
#pragma once

#include <cstddef>
#include <cstdint>

// The power of two that GLU gives a side of `value` pixels: the one below,
// unless the value is at least 1.5 times that, then the one above (767 ->
// 512, 768 -> 1024). 1 for values below 1.
int NearestPowerOfTwo(int value);

// How many levels follow level 0 for a level 0 of width x height (powers of
// two): down to 1 x 1.
int MipmapLevelCount(int width, int height);

// The picture the levels are made from: rows of width * components bytes,
// rowStride apart (rowStride >= width * components).
struct MipmapPicture {
    const uint8_t* pixels;
    int width;
    int height;
    int components;  // 3 (R, G, B) or 4 (R, G, B, A)
    size_t rowStride;
};

// Some consecutive rows of one level, packed: width * components bytes a row.
struct MipmapRows {
    int level;
    int width;   // of the level
    int height;  // of the level
    int components;
    int firstRow;
    int rowCount;
    const uint8_t* pixels;
};

using MipmapRowsSink = void (*)(const MipmapRows& rows, void* context);

// Makes every level from the picture, level 0 being width x height (powers
// of two), and hands them to `sink` as they are made: each level's rows in
// order and all of them exactly once, a level's rows before the levels they
// make. Only a few rows of each level are held at a time. False when the
// arguments make no picture (no pixels, a side below 1, components other
// than 3 or 4, rows shorter than a row of pixels).
bool MakeMipmapLevels(const MipmapPicture& picture, int width, int height, MipmapRowsSink sink, void* context);
