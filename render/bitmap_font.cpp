#include "render/bitmap_font.h"

BitmapFont bitmapFont = {0, 256, 0.0f};

uint32_t CreateBitmapFont(const char*, int32_t) {
    // The glyph lists are not built yet; nothing prints text so far.
    return 0;
}
