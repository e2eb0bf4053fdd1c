// Reading the photographs that --photo turns into rule textures: JPEG (with
// its EXIF orientation honoured), PNG and Windows bitmaps, into RGB rows,
// top row first, as the picture is meant to be seen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <opencv2/core.hpp>

// The orientation (1 to 8, as EXIF numbers them) that a JPEG file's Exif
// segment gives in IFD0, or 1 when it has none. Reads only within the
// `size` bytes given and within each segment's own length.
int JpegExifOrientation(const uint8_t* file, size_t size);

// Turns a picture as stored into the picture as seen, for an EXIF
// orientation (anything outside 2..8 leaves it as it is).
cv::Mat ApplyExifOrientation(const cv::Mat& stored, int orientation);

// Reads the photograph into 8-bit RGB (CV_8UC3), top row first. False, with
// a message, when the file cannot be read or is no JPEG, PNG or bitmap.
bool ReadPhotoFile(const std::string& path, cv::Mat* rgb, std::string* error);
