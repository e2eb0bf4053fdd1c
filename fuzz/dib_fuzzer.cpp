// The bitmap reader on arbitrary file contents.
#include "fuzz/fuzz_target.h"
#include "images/dib_reader.h"
#include "tests/support/bitmap_bytes.h"

// Conversion time grows with the picture, which a few bytes of run-length
// data can make huge: a lower limit than the reader's keeps the run quick and
// still takes the refusal's path.
constexpr int64_t FUZZ_MAX_PIXELS = int64_t{1} << 20;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreeImage(DecodeDibImage(data, size, nullptr, FUZZ_MAX_PIXELS));
    ForgetFuzzInputEffects();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<Bytes> seeds;
    const Rgb8 red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

    Bytes rgb24 = BitmapFileHeader(54);
    Append(rgb24, BitmapInfoHeader(3, 2, 24));
    Append(rgb24, BitmapRows24({{red, green, blue}, {blue, red, green}}));
    seeds.push_back(rgb24);

    Bytes topDown = BitmapInfoHeader(2, -2, 24);
    Append(topDown, BitmapRows24({{red, green}, {blue, red}}));
    seeds.push_back(topDown);

    Bytes palette8 = BitmapFileHeader(14 + 40 + 17 * 4);
    Append(palette8, BitmapInfoHeader(5, 2, 8, 0, 17));
    Append(palette8, QuadTable(17));
    Append(palette8, {0, 4, 8, 12, 16, 0, 0, 0, 16, 12, 8, 4, 0, 0, 0, 0});
    seeds.push_back(palette8);

    Bytes core4 = BitmapCoreHeader(3, 2, 4);
    Append(core4, TripleTable(16));
    Append(core4, {0x0F, 0x70, 0, 0, 0x12, 0x30, 0, 0});
    seeds.push_back(core4);

    Bytes core1 = BitmapFileHeader(14 + 12 + 6);
    Append(core1, BitmapCoreHeader(9, 1, 1));
    Append(core1, TripleTable(2));
    Append(core1, {0xA5, 0x80, 0, 0});
    seeds.push_back(core1);

    Bytes rle8 = BitmapInfoHeader(4, 3, 8, 1, 3);
    Append(rle8, QuadTable(3));
    Append(rle8, {4, 1, 0, 0, 0, 3, 2, 0, 1, 0, 0, 2, 1, 1, 2, 2, 0, 1});
    seeds.push_back(rle8);

    Bytes rle4 = BitmapFileHeader(14 + 40 + 16 * 4);
    Append(rle4, BitmapInfoHeader(6, 2, 4, 2));
    Append(rle4, QuadTable(16));
    Append(rle4, {5, 0x3C, 0, 0, 0, 4, 0x12, 0x34, 0, 1});
    seeds.push_back(rle4);

    Bytes rgb16 = BitmapInfoHeader(2, 1, 16);
    Append(rgb16, {0x00, 0x7C, 0x1F, 0x00});
    seeds.push_back(rgb16);

    Bytes fields565 = BitmapInfoHeader(2, 1, 16, 3);
    for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) PutLe32(fields565, mask);
    Append(fields565, {0xE0, 0x07, 0x1F, 0x00});
    seeds.push_back(fields565);

    Bytes rgb32 = BitmapFileHeader(54);
    Append(rgb32, BitmapInfoHeader(2, 1, 32));
    Append(rgb32, {10, 20, 30, 0, 40, 50, 60, 7});
    seeds.push_back(rgb32);

    return seeds;
}
