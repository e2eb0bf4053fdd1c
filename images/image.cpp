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
