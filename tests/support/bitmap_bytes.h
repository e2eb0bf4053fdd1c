// Windows bitmap files byte by byte, for tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

void PutLe16(Bytes& out, uint32_t value);
void PutLe32(Bytes& out, uint32_t value);
void Append(Bytes& out, const Bytes& more);

// The 14-byte file header: "BM", size 0, reserved 0, the pixel offset.
Bytes BitmapFileHeader(uint32_t pixelOffset);
// A 40-byte header, or a longer one (the later versions) padded with zeros.
Bytes BitmapInfoHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0,
                       uint32_t colorsUsed = 0, uint32_t headerSize = 40);
// The 12-byte core header.
Bytes BitmapCoreHeader(uint16_t width, uint16_t height, uint16_t bitCount);

struct Rgb8 {
    uint8_t r, g, b;
};

// 24-bit rows as stored: B, G, R per pixel, each row padded to 4 bytes.
Bytes BitmapRows24(const std::vector<std::vector<Rgb8>>& rows);
// A colour for table entry i that tells the entries apart.
Rgb8 TableColor(int i);
// Colour tables of TableColor entries: 4-byte (B, G, R, 0) and core 3-byte.
Bytes QuadTable(int count);
Bytes TripleTable(int count);
