// Reads JPEG files with libjpeg (the IJG interface, version 62).
#pragma once

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "images/image.h"
#include "platform/platform.h"

// Pictures of more pixels than this are refused as the library refuses a
// picture it has no memory for: a few hundred bytes of JPEG can claim a
// picture of billions of pixels.
constexpr uint64_t JPEG_MAX_PIXELS = uint64_t{1} << 26;

// Decodes the file into a heap record (R, G, B rows, top row first), or
// returns null when the file cannot be opened, after telling the user in a
// box that `owner` owns. A file that cannot be decoded ends the process
// through the library's standard error manager.
Image* ReadJpegImage(const char* path, WindowHandle owner);

// Decodes from a decompression record whose error manager and data source
// the caller has set up, into `image`: 3 bytes per pixel, R, G, B, whatever
// the file's colour space (greyscale is widened, CMYK and YCCK converted).
// Errors go to the caller's error manager. The function keeps nothing alive
// across library calls but the record's own memory and image->pixels (plain
// heap, which the caller frees), so an error manager may leave it by
// longjmp.
void DecodeJpegImage(jpeg_decompress_struct* decompressor, Image* image);
