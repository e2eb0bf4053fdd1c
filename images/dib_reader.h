// Reads Windows bitmap (DIB) files into 24-bit R, G, B pictures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "images/image.h"
#include "platform/platform.h"

// The open-failure message is formatted into a buffer of this size,
// terminator included; a longer text is cut short.
constexpr size_t DIB_MESSAGE_BUFFER_SIZE = 240;

// Pictures of more pixels than this are refused with "Out of memory.": a few
// bytes of run-length data can describe a picture far larger than any texture.
constexpr int64_t DIB_MAX_PIXELS = int64_t{1} << 26;

// A heap record of 3 bytes per pixel, bottom row first, or null after one
// error message box, which `owner` owns.
Image* ReadDibImage(const char* path, WindowHandle owner);

// Maps the file read-only and decodes it with DecodeDibImage.
Image* LoadDibFile(const char* path, WindowHandle owner);

// Decodes a whole bitmap file held in memory (`size` bytes, with or without
// the 14-byte file header). Never reads outside the block. Pictures of more
// than `maxPixels` pixels are refused. Null after one error message box,
// which `owner` owns.
Image* DecodeDibImage(const uint8_t* file, size_t size, WindowHandle owner, int64_t maxPixels = DIB_MAX_PIXELS);

// The number of colour-table entries that the header at `header` carries:
// biClrUsed when it is set (low 16 bits), otherwise by the bit count (2, 16
// or 256 for 1, 4 or 8 bits, none above). A core header counts by bit count.
// `header` must hold the whole 12- or 40-byte header.
uint16_t CountDibColors(const uint8_t* header);
