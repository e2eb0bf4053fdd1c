#include "tools/png_file.h"

#include <png.h>

#include <cstdio>

bool WritePngFile(const std::string& path, int width, int height, int channels, const uint8_t* rows) {
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    bool ok = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_compression_level(png, 9);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
        for (int row = 0; row < height; ++row) png_write_row(png, &rows[static_cast<size_t>(row) * stride]);
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
