#include "images/image.h"

#include <cstdlib>

Image* NewImage() { return static_cast<Image*>(std::calloc(1, sizeof(Image))); }

void ReleaseImagePixels(Image* image) {
    if (image == nullptr) return;
    std::free(image->pixels);
    image->pixels = nullptr;
}

void FreeImage(Image* image) {
    ReleaseImagePixels(image);
    std::free(image);
}

uint8_t* AllocateImagePixels(size_t height, size_t rowStride, size_t bytesPerPixel) {
    if (rowStride != 0 && height > (SIZE_MAX - rowStride - bytesPerPixel) / rowStride) return nullptr;
    return static_cast<uint8_t*>(std::calloc(height * rowStride + rowStride + bytesPerPixel, 1));
}
