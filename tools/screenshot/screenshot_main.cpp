// vernaskel_screenshot: the program's picture, drawn on the headless backend
// and written as a PNG.
//
//     vernaskel_screenshot --in DIR [--size WIDTHxHEIGHT] [--passes N] --out FILE.png
//
// It runs the program in DIR (where data\ts is looked up), on a screen of the
// given size (default 1280x720), for N main-loop passes (default 3; the
// picture of a pass shows what the pass before it left), and writes the last
// presented picture.
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "platform/headless/headless.h"

namespace {

bool WritePng(const char* path, const std::vector<uint8_t>& rgba, int width, int height) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    bool ok = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int row = 0; row < height; ++row) {
            png_write_row(png, &rgba[static_cast<size_t>(row) * width * 4]);  // rows come top first
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

int Usage() {
    std::fprintf(stderr, "usage: vernaskel_screenshot --in DIR [--size WIDTHxHEIGHT] [--passes N] --out FILE.png\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* folder = nullptr;
    const char* out = nullptr;
    int width = 1280;
    int height = 720;
    int passes = 3;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--in") == 0 && k + 1 < argc) {
            folder = argv[++k];
        } else if (std::strcmp(argv[k], "--out") == 0 && k + 1 < argc) {
            out = argv[++k];
        } else if (std::strcmp(argv[k], "--size") == 0 && k + 1 < argc) {
            if (std::sscanf(argv[++k], "%dx%d", &width, &height) != 2 || width < 16 || height < 16 ||
                width > 8192 || height > 8192) {
                return Usage();
            }
        } else if (std::strcmp(argv[k], "--passes") == 0 && k + 1 < argc) {
            passes = std::atoi(argv[++k]);
            if (passes < 1 || passes > 1000) return Usage();
        } else {
            return Usage();
        }
    }
    if (folder == nullptr || out == nullptr) return Usage();
    // The output path is taken before the program's folder becomes current.
    std::string outPath = out;
    char here[4096];
    if (out[0] != '/' && getcwd(here, sizeof here) != nullptr) outPath = std::string(here) + "/" + out;
    if (chdir(folder) != 0) {
        std::fprintf(stderr, "vernaskel_screenshot: cannot enter %s\n", folder);
        return 1;
    }
    HeadlessReset();
    HeadlessSetScreenSize(width, height);
    HeadlessCapturePresented(true);
    if (!CreateMainWindow()) return 1;
    for (int pass = 0; pass < passes; ++pass) {
        HeadlessAdvanceTicks(16);
        if (!RunMainLoopPass()) break;
    }
    if (HeadlessLastPresented().empty() || !WritePng(outPath.c_str(), HeadlessLastPresented(), width, height)) {
        std::fprintf(stderr, "vernaskel_screenshot: no picture written to %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
