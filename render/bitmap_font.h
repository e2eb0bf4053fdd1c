// Bitmap text drawn from one display list per character code.
#pragma once

#include <cstdint>

struct BitmapFont {
    uint32_t listBase;   // list of character code k is listBase + k
    int32_t listCount;   // lists reserved for the block
    float cellHeight;    // pixels; places text vertically
};

extern BitmapFont bitmapFont;

// Builds the glyph lists of a face and returns their base list.
uint32_t CreateBitmapFont(const char* faceName, int32_t height);
