// Reads uncompressed true-colour TGA files (24 or 32 bits per pixel).
#pragma once

#include <cstdint>

#include "images/image.h"

// The first 12 bytes of every file the reader takes: no image ID, no colour
// map, image type 2 (uncompressed true colour), origin (0, 0).
constexpr uint8_t TGA_UNCOMPRESSED_HEADER[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The largest pixel buffer the reader makes, in bytes; bigger images are
// refused rather than sized past what the image's 32-bit fields can carry.
constexpr uint64_t TGA_MAX_PIXEL_BYTES = 0x7FFFFFFF;

// Fills `image` with the file's pixels as R, G, B (24 bits) or R, G, B, A
// (32 bits), rows in the order the file stores them; the caller then owns
// image->pixels. False for any other kind of file, a short file or a failed
// allocation: then `image` is untouched and nothing stays allocated. Shows no
// message either way.
bool ReadTgaImage(const char* path, Image* image);
