// JPEG in memory: made with the library's compressor, and decoded with
// DecodeJpegImage under an error manager that returns instead of ending the
// process. For tests and fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/image.h"

// Compresses `samples` (height rows of width x components bytes) into a JPEG
// file image. components 1: greyscale; 3: RGB; 4: CMYK (written with Adobe's
// marker, as given). Full-resolution colour (no subsampling).
std::vector<uint8_t> CompressJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                                  int quality = 100, bool progressive = false);

// Decodes `size` bytes with DecodeJpegImage. True when decoding finished;
// otherwise `message` (when given) holds the library's message. Warnings are
// not printed. Either way the caller frees `image`'s pixels.
bool DecodeJpegFromMemory(const uint8_t* data, size_t size, Image* image, std::string* message = nullptr);

// The picture size that the frame header gives; false when the library
// cannot read the headers.
bool ReadJpegSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height);
