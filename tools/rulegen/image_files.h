// Writing the generated textures in the three formats the program reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rulegen/rule_description.h"

// An RGB picture held the way OpenGL takes texture rows: row 0 is the first
// row uploaded, which becomes t = 0, the bottom of every strip.
struct RgbPicture {
    int width;
    int height;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes, rows packed
};

// Each writer stores the rows so that the program's reader for that format
// hands them back in this same order, and so the strips come out upright on
// the screen. False, with a message, when the file cannot be written.
bool WriteBmpFile(const std::string& path, const RgbPicture& picture, std::string* error);
bool WriteTgaFile(const std::string& path, const RgbPicture& picture, std::string* error);
bool WriteJpegFile(const std::string& path, const RgbPicture& picture, int quality, std::string* error);
bool WritePictureFile(const std::string& path, ImageFormat format, const RgbPicture& picture, std::string* error);
