// DecodeJpegImage on arbitrary data, under an error manager that returns.
#include "fuzz/fuzz_target.h"
#include "images/jpeg_reader.h"
#include "tests/support/jpeg_memory.h"

// Decoding time grows with the picture, which a few bytes can make huge;
// larger pictures than this are skipped so that the run stays quick (the
// reader's own limit is tested by the unit tests).
constexpr uint64_t FUZZ_MAX_PIXELS = uint64_t{1} << 20;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t width = 0, height = 0;
    if (ReadJpegSize(data, size, &width, &height) && uint64_t{width} * height > FUZZ_MAX_PIXELS) return 0;
    Image* image = NewImage();
    DecodeJpegFromMemory(data, size, image);
    FreeImage(image);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    std::vector<uint8_t> rgb, grey, cmyk;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const uint8_t v = static_cast<uint8_t>(x * 10 + y * 5);
            rgb.insert(rgb.end(), {v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(x * 7)});
            grey.push_back(v);
            cmyk.insert(cmyk.end(), {v, 0, static_cast<uint8_t>(y * 9), 200});
        }
    }
    seeds.push_back(CompressJpeg(24, 16, 3, rgb, 90));
    seeds.push_back(CompressJpeg(24, 16, 3, rgb, 50, true));
    seeds.push_back(CompressJpeg(24, 16, 1, grey, 75));
    seeds.push_back(CompressJpeg(24, 16, 1, grey, 75, true));
    seeds.push_back(CompressJpeg(24, 16, 4, cmyk, 80));
    seeds.push_back(CompressJpeg(2, 2, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    return seeds;
}
