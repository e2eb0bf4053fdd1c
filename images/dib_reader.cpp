#include "images/dib_reader.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr size_t CORE_ENTRY_SIZE = 3;  // RGBTRIPLE: blue, green, red
constexpr size_t INFO_ENTRY_SIZE = 4;  // RGBQUAD: blue, green, red, reserved
// With BI_BITFIELDS the red, green and blue masks follow a 40-byte header.
constexpr size_t BITFIELD_MASKS_SIZE = 12;

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

constexpr const char* MESSAGE_UNKNOWN_FORMAT = "Unknown DIB file format.";
constexpr const char* MESSAGE_CONVERSION_ERROR = "Image file conversion error.";
constexpr const char* MESSAGE_OUT_OF_MEMORY = "Out of memory.";

// The header in the 40-byte form that the conversion takes.
struct DibHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

uint16_t ReadLe16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

uint32_t ReadLe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
           (static_cast<uint32_t>(at[3]) << 24);
}

uint8_t* WriteLe16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    return at + 2;
}

uint8_t* WriteLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
    return at + 4;
}

// Error boxes belong to the window with the keyboard focus: the program has
// one window, and it has the focus while the textures load; the caller
// hands it over.
void ShowDibError(WindowHandle owner, const char* text) { PlatformShowMessageBox(owner, text, "Error"); }

// The header as the conversion takes it, from a 12- or 40-byte header.
DibHeader NormaliseHeader(const uint8_t* header, uint16_t count) {
    DibHeader result{};
    result.biSize = INFO_HEADER_SIZE;
    if (ReadLe32(header) == CORE_HEADER_SIZE) {
        // The core header's sizes are unsigned 16-bit numbers.
        result.biWidth = ReadLe16(header + 4);
        result.biHeight = ReadLe16(header + 6);
        result.biPlanes = ReadLe16(header + 8);
        result.biBitCount = ReadLe16(header + 10);
        result.biClrUsed = count;
        result.biClrImportant = count;
    } else {
        result.biWidth = static_cast<int32_t>(ReadLe32(header + 4));
        result.biHeight = static_cast<int32_t>(ReadLe32(header + 8));
        result.biPlanes = ReadLe16(header + 12);
        result.biBitCount = ReadLe16(header + 14);
        result.biCompression = ReadLe32(header + 16);
        result.biSizeImage = ReadLe32(header + 20);
        result.biXPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 24));
        result.biYPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 28));
        result.biClrUsed = ReadLe32(header + 32);
        result.biClrImportant = ReadLe32(header + 36);
    }
    if (result.biSizeImage == 0) {
        // Unsigned, so that odd sizes wrap instead of overflowing.
        const uint32_t rowBytes = (uint32_t{result.biBitCount} * static_cast<uint32_t>(result.biWidth) + 7u) / 8u;
        result.biSizeImage = rowBytes * static_cast<uint32_t>(result.biHeight);
    }
    if (result.biClrUsed == 0) result.biClrUsed = count;
    // The table holds `count` entries; a biClrUsed beyond 16 bits would send
    // the conversion past its end.
    if (result.biClrUsed > count) result.biClrUsed = count;
    return result;
}

// The pixel layouts the conversion is handed; anything else it is spared.
bool IsConvertibleLayout(const DibHeader& header) {
    switch (header.biCompression) {
        case BI_RGB:
            switch (header.biBitCount) {
                case 1: case 4: case 8: case 16: case 24: case 32: return true;
                default: return false;
            }
        case BI_RLE8: return header.biBitCount == 8;
        case BI_RLE4: return header.biBitCount == 4;
        case BI_BITFIELDS: return header.biBitCount == 16 || header.biBitCount == 32;
        default: return false;
    }
}

// The whole picture as one in-memory bitmap file in the 40-byte form: file
// header, normalised header, masks (BI_BITFIELDS only), colour table, pixels.
// Plain allocation; null when there is no memory for it.
uint8_t* BuildNormalisedBitmap(const DibHeader& header, const uint8_t* masks, const uint8_t* table, uint16_t count,
                               size_t entrySize, const uint8_t* pixelData, size_t pixelBytes, size_t* totalSize) {
    const size_t masksSize = masks != nullptr ? BITFIELD_MASKS_SIZE : 0;
    const size_t pixelOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + masksSize + INFO_ENTRY_SIZE * count;
    const size_t total = pixelOffset + pixelBytes;
    uint8_t* bitmap = static_cast<uint8_t*>(std::malloc(total));
    if (bitmap == nullptr) return nullptr;

    uint8_t* at = bitmap;
    *at++ = 'B';
    *at++ = 'M';
    at = WriteLe32(at, total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total));
    at = WriteLe32(at, 0);  // two reserved words
    at = WriteLe32(at, static_cast<uint32_t>(pixelOffset));
    at = WriteLe32(at, header.biSize);
    at = WriteLe32(at, static_cast<uint32_t>(header.biWidth));
    at = WriteLe32(at, static_cast<uint32_t>(header.biHeight));
    at = WriteLe16(at, header.biPlanes);
    at = WriteLe16(at, header.biBitCount);
    at = WriteLe32(at, header.biCompression);
    at = WriteLe32(at, header.biSizeImage);
    at = WriteLe32(at, static_cast<uint32_t>(header.biXPelsPerMeter));
    at = WriteLe32(at, static_cast<uint32_t>(header.biYPelsPerMeter));
    at = WriteLe32(at, header.biClrUsed);
    at = WriteLe32(at, header.biClrImportant);
    if (masks != nullptr) {
        std::memcpy(at, masks, BITFIELD_MASKS_SIZE);
        at += BITFIELD_MASKS_SIZE;
    }
    for (uint16_t i = 0; i < count; ++i) {
        // A core entry is widened with a zero fourth byte.
        const uint8_t* entry = table + entrySize * i;
        *at++ = entry[0];
        *at++ = entry[1];
        *at++ = entry[2];
        *at++ = entrySize == INFO_ENTRY_SIZE ? entry[3] : 0;
    }
    std::memcpy(at, pixelData, pixelBytes);
    *totalSize = total;
    return bitmap;
}

// Lets SDL's bitmap loader turn any of its pixel layouts into 24-bit R, G, B
// rows (top row first, rows padded to the surface pitch). Null when it
// cannot; `outOfMemory` tells whether memory was the reason.
SDL_Surface* ConvertToRgb24(const uint8_t* bitmap, size_t size, bool* outOfMemory) {
    *outOfMemory = false;
    if (size > INT32_MAX) return nullptr;
    SDL_RWops* stream = SDL_RWFromConstMem(bitmap, static_cast<int>(size));
    if (stream == nullptr) {
        *outOfMemory = true;
        return nullptr;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (loaded == nullptr) return nullptr;
    // The fourth byte of a 32-bit pixel is not alpha: copy, never blend.
    SDL_SetSurfaceBlendMode(loaded, SDL_BLENDMODE_NONE);
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) *outOfMemory = true;
    return converted;
}

}  // namespace

uint16_t CountDibColors(const uint8_t* header) {
    uint16_t bitCount;
    if (ReadLe32(header) == CORE_HEADER_SIZE) {
        bitCount = ReadLe16(header + 10);
    } else {
        const uint32_t colorsUsed = ReadLe32(header + 32);
        if (colorsUsed != 0) return static_cast<uint16_t>(colorsUsed & 0xFFFFu);
        bitCount = ReadLe16(header + 14);
    }
    switch (bitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

Image* DecodeDibImage(const uint8_t* file, size_t size, WindowHandle owner, int64_t maxPixels) {
    // The header follows the file header when there is one; then the file
    // header also says where the pixels are.
    size_t headerAt = 0;
    size_t pixelAt = 0;
    bool pixelAtKnown = false;
    if (size >= 2 && file[0] == 'B' && file[1] == 'M') {
        headerAt = FILE_HEADER_SIZE;
        if (size >= FILE_HEADER_SIZE) {
            pixelAt = ReadLe32(file + 10);
            pixelAtKnown = true;
        }
    }
    // Too short to hold its header, or a header of another kind.
    if (size < headerAt + 4) {
        ShowDibError(owner, MESSAGE_UNKNOWN_FORMAT);
        return nullptr;
    }
    const uint8_t* header = file + headerAt;
    const uint32_t headerSize = ReadLe32(header);
    if ((headerSize != CORE_HEADER_SIZE && headerSize != INFO_HEADER_SIZE) || size - headerAt < headerSize) {
        ShowDibError(owner, MESSAGE_UNKNOWN_FORMAT);
        return nullptr;
    }

    const uint16_t count = CountDibColors(header);
    const DibHeader source = NormaliseHeader(header, count);
    const size_t entrySize = headerSize == CORE_HEADER_SIZE ? CORE_ENTRY_SIZE : INFO_ENTRY_SIZE;
    const size_t tableAt = headerAt + headerSize;
    const size_t tableBytes = entrySize * count;
    const bool hasMasks = headerSize == INFO_HEADER_SIZE && source.biCompression == BI_BITFIELDS;
    const size_t masksBytes = hasMasks ? BITFIELD_MASKS_SIZE : 0;
    if (!pixelAtKnown) pixelAt = tableAt + masksBytes + tableBytes;

    // Everything the header promises must lie inside the file.
    if (size - tableAt < masksBytes + tableBytes || pixelAt > size ||
        !IsConvertibleLayout(source) || source.biWidth <= 0 || source.biHeight == 0 || source.biHeight == INT32_MIN) {
        ShowDibError(owner, MESSAGE_CONVERSION_ERROR);
        return nullptr;
    }
    // A negative height marks a picture stored top row first.
    const int64_t width = source.biWidth;
    const int64_t height = source.biHeight < 0 ? -int64_t{source.biHeight} : int64_t{source.biHeight};
    if (width * height > maxPixels) {
        ShowDibError(owner, MESSAGE_OUT_OF_MEMORY);
        return nullptr;
    }
    size_t pixelBytes = size - pixelAt;
    if (source.biCompression == BI_RGB || source.biCompression == BI_BITFIELDS) {
        // Rows are padded to 4 bytes; the last row must be whole.
        const uint64_t rowBytes = (uint64_t{source.biBitCount} * static_cast<uint64_t>(width) + 31u) / 32u * 4u;
        const uint64_t needed = rowBytes * static_cast<uint64_t>(height);
        if (needed > pixelBytes) {
            ShowDibError(owner, MESSAGE_CONVERSION_ERROR);
            return nullptr;
        }
        pixelBytes = static_cast<size_t>(needed);
    }
    // Run-length data has no size of its own: the decoder is given the rest
    // of the file and stops at its end.

    size_t bitmapSize = 0;
    uint8_t* bitmap = BuildNormalisedBitmap(source, hasMasks ? header + INFO_HEADER_SIZE : nullptr,
                                            file + tableAt + masksBytes, count, entrySize, file + pixelAt, pixelBytes,
                                            &bitmapSize);
    if (bitmap == nullptr) {
        ShowDibError(owner, MESSAGE_OUT_OF_MEMORY);
        return nullptr;
    }
    bool outOfMemory = false;
    SDL_Surface* converted = ConvertToRgb24(bitmap, bitmapSize, &outOfMemory);
    std::free(bitmap);
    if (converted == nullptr) {
        ShowDibError(owner, outOfMemory ? MESSAGE_OUT_OF_MEMORY : MESSAGE_CONVERSION_ERROR);
        return nullptr;
    }
    if (converted->w != width || converted->h != height) {
        SDL_FreeSurface(converted);
        ShowDibError(owner, MESSAGE_CONVERSION_ERROR);
        return nullptr;
    }

    // Repack into rows without padding, bottom row first; the surface has
    // its top row first.
    const size_t stride = static_cast<size_t>(width) * 3u;
    uint8_t* pixels = AllocateImagePixels(static_cast<size_t>(height), stride, 3);
    Image* image = pixels != nullptr ? NewImage() : nullptr;
    if (image == nullptr) {
        std::free(pixels);
        SDL_FreeSurface(converted);
        ShowDibError(owner, MESSAGE_OUT_OF_MEMORY);
        return nullptr;
    }
    const uint8_t* surfacePixels = static_cast<const uint8_t*>(converted->pixels);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* from = surfacePixels + static_cast<size_t>(height - 1 - row) * static_cast<size_t>(converted->pitch);
        std::memcpy(pixels + static_cast<size_t>(row) * stride, from, stride);
    }
    SDL_FreeSurface(converted);

    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->bytesPerPixel = 3;
    image->rowStride = static_cast<int32_t>(stride);
    image->pixels = pixels;
    return image;
}

Image* LoadDibFile(const char* path, WindowHandle owner) {
    MappedFile file;
    if (!PlatformMapFile(path, &file)) {
        char message[DIB_MESSAGE_BUFFER_SIZE];
        std::snprintf(message, sizeof message, "Failed to open DIB file %s.\n", path);
        ShowDibError(owner, message);
        return nullptr;
    }
    Image* image = DecodeDibImage(file.data, file.size, owner);
    PlatformUnmapFile(&file);
    return image;
}

Image* ReadDibImage(const char* path, WindowHandle owner) { return LoadDibFile(path, owner); }
