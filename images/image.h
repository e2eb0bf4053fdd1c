// A decoded picture, as the image readers hand it to the texture loader.
#pragma once

#include <cstddef>
#include <cstdint>

struct Image {
    int32_t width;
    int32_t height;
    int32_t bytesPerPixel;  // 3 for R, G, B; 4 for R, G, B, A
    int32_t rowStride;      // width * bytesPerPixel: rows are packed
    uint8_t* pixels;        // height * rowStride bytes from std::malloc; the caller owns it
};

// A zeroed record on the heap (std::calloc), for readers that return one.
// Plain C allocation keeps the record safe to abandon across a longjmp.
Image* NewImage();
// Frees the pixel buffer and clears the pointer; the record itself stays.
void ReleaseImagePixels(Image* image);
// Frees the pixel buffer and then a record made by NewImage.
void FreeImage(Image* image);

// Allocates, zeroed (std::calloc), the pixel buffer of a picture of `height`
// rows of `rowStride` bytes, with one spare row and one spare pixel after
// them, zeroed: the mipmap scaler reads the pixel just past the last row
// (with a weight of zero or nearly so) and takes it as zero, and so does
// GLU's, which reads the memory there. Null when there is no memory.
uint8_t* AllocateImagePixels(size_t height, size_t rowStride, size_t bytesPerPixel);
