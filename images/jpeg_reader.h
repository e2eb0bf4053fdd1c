// Reads JPEG files with libjpeg (the IJG interface, version 62).
#pragma once

#include <cstdio>

#include <jpeglib.h>

#include "images/image.h"

// Decodes the file into a heap record (R, G, B rows, top row first), or
// returns null when the file cannot be opened, after telling the user. A file
// that cannot be decoded ends the process through the library's standard
// error manager.
Image* ReadJpegImage(const char* path);

// Decodes from a decompression record whose error manager and data source
// the caller has set up, into `image`.
void DecodeJpegImage(jpeg_decompress_struct* decompressor, Image* image);
