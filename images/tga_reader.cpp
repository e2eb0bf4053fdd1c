#include "images/tga_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace {

// Bytes left from the current position to the end of the file, or -1 when
// the stream cannot tell.
long RemainingBytes(FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end < here ? -1 : end - here;
}

bool ReadPixels(FILE* file, Image* image) {
    uint8_t header[12];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) return false;
    if (std::memcmp(header, TGA_UNCOMPRESSED_HEADER, sizeof header) != 0) return false;

    uint8_t fields[6];  // width, height (little-endian), bits per pixel, descriptor
    if (std::fread(fields, 1, sizeof fields, file) != sizeof fields) return false;
    const uint32_t width = fields[0] | (static_cast<uint32_t>(fields[1]) << 8);
    const uint32_t height = fields[2] | (static_cast<uint32_t>(fields[3]) << 8);
    const uint32_t bitsPerPixel = fields[4];
    // The descriptor (fields[5]) is not interpreted: rows stay as stored.
    if (width == 0 || height == 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return false;

    const uint32_t bytesPerPixel = bitsPerPixel / 8;
    const uint64_t size = static_cast<uint64_t>(bytesPerPixel) * height * width;
    if (size > TGA_MAX_PIXEL_BYTES) return false;
    // A file too short for its pixels is refused before the buffer is made.
    const long remaining = RemainingBytes(file);
    if (remaining >= 0 && static_cast<uint64_t>(remaining) < size) return false;

    auto* pixels = AllocateImagePixels(height, static_cast<size_t>(width) * bytesPerPixel, bytesPerPixel);
    if (pixels == nullptr) return false;
    if (std::fread(pixels, 1, static_cast<size_t>(size), file) != size) {
        std::free(pixels);
        return false;
    }
    // Stored as B, G, R(, A): blue and red change places.
    for (size_t offset = 0; offset < size; offset += bytesPerPixel) std::swap(pixels[offset], pixels[offset + 2]);

    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->bytesPerPixel = static_cast<int32_t>(bytesPerPixel);
    image->rowStride = static_cast<int32_t>(width * bytesPerPixel);
    image->pixels = pixels;
    return true;
}

}  // namespace

bool ReadTgaImage(const char* path, Image* image) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (file == nullptr) return false;
    const bool read = ReadPixels(file, image);
    std::fclose(file);
    return read;
}
