#include "tests/rulegen/picture_files.h"

#include <cstdio>
#include <cstdint>
#include <vector>

#include <jpeglib.h>

namespace {

bool ReadAll(const std::string& path, std::vector<uint8_t>* bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    std::fclose(file);
    return true;
}

uint32_t Le(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k) value = (value << 8) | bytes[at + k];
    return value;
}

// Rows of blue, green, red triples from `at`, `stride` bytes apart.
void TakeBgrRows(const std::vector<uint8_t>& bytes, size_t at, size_t stride, RgbPicture* picture) {
    picture->rgb.resize(static_cast<size_t>(picture->width) * picture->height * 3);
    for (int row = 0; row < picture->height; ++row) {
        for (int x = 0; x < picture->width; ++x) {
            const uint8_t* bgr = &bytes[at + row * stride + x * 3u];
            uint8_t* rgb = &picture->rgb[(static_cast<size_t>(row) * picture->width + x) * 3];
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
        }
    }
}

}  // namespace

bool ReadBmpForTest(const std::string& path, RgbPicture* picture) {
    std::vector<uint8_t> bytes;
    if (!ReadAll(path, &bytes) || bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const int32_t height = static_cast<int32_t>(Le(bytes, 22, 4));
    if (Le(bytes, 14, 4) != 40 || Le(bytes, 28, 2) != 24 || Le(bytes, 30, 4) != 0 || height <= 0) return false;
    picture->width = static_cast<int>(Le(bytes, 18, 4));
    picture->height = height;
    const size_t stride = (static_cast<size_t>(picture->width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t offset = Le(bytes, 10, 4);
    if (bytes.size() < offset + stride * picture->height) return false;
    TakeBgrRows(bytes, offset, stride, picture);
    return true;
}

bool ReadTgaForTest(const std::string& path, RgbPicture* picture) {
    std::vector<uint8_t> bytes;
    if (!ReadAll(path, &bytes) || bytes.size() < 18) return false;
    const uint8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int k = 0; k < 12; ++k) {
        if (bytes[k] != header[k]) return false;
    }
    if (bytes[16] != 24 || bytes[17] != 0) return false;
    picture->width = static_cast<int>(Le(bytes, 12, 2));
    picture->height = static_cast<int>(Le(bytes, 14, 2));
    const size_t stride = static_cast<size_t>(picture->width) * 3;
    if (bytes.size() < 18 + stride * picture->height) return false;
    TakeBgrRows(bytes, 18, stride, picture);
    return true;
}

bool ReadJpegForTest(const std::string& path, RgbPicture* picture) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const bool rgb = info.output_components == 3;
    picture->width = static_cast<int>(info.output_width);
    picture->height = static_cast<int>(info.output_height);
    const size_t stride = static_cast<size_t>(picture->width) * info.output_components;
    picture->rgb.resize(stride * picture->height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &picture->rgb[static_cast<size_t>(info.output_scanline) * stride];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return rgb;
}
