// PNG files for the tools (README pictures, the program's icon).
#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit rows, top row first, with 3 (RGB) or 4 (RGBA) channels.
// False when the file cannot be written.
bool WritePngFile(const std::string& path, int width, int height, int channels, const uint8_t* rows);
