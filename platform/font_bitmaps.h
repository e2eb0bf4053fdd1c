// Glyph bitmaps as display lists: the parts of the text font that tests
// look at on their own.
#pragma once

#include <cstdint>

// The Unicode code point of a code page 1252 byte; 0 for the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
uint32_t CodePage1252ToUnicode(uint8_t code);

// True when the family fontconfig chose draws text as `requested` would: the
// same family, or a metric-compatible stand-in for it (Liberation Sans for
// Arial). Letter case does not matter.
bool IsFontFamilyFor(const char* requested, const char* found);
