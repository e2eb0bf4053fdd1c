// Reads Windows bitmap (DIB) files into 24-bit R, G, B pictures.
#pragma once

#include <cstdint>

#include "images/image.h"

// A heap record of 3 bytes per pixel, bottom row first, or null after one
// error message box.
Image* ReadDibImage(const char* path);
