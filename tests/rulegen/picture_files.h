// Reading the generator's files back for the tests, in the row order the
// program's readers hand rows to OpenGL: bitmaps bottom row first as stored,
// TGA rows as stored, JPEG rows as decoded.
#pragma once

#include <string>

#include "tools/rulegen/image_files.h"

bool ReadBmpForTest(const std::string& path, RgbPicture* picture);
bool ReadTgaForTest(const std::string& path, RgbPicture* picture);
bool ReadJpegForTest(const std::string& path, RgbPicture* picture);
