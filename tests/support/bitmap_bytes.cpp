#include "tests/support/bitmap_bytes.h"

void PutLe16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(Bytes& out, uint32_t value) {
    PutLe16(out, value & 0xFFFFu);
    PutLe16(out, value >> 16);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes BitmapFileHeader(uint32_t pixelOffset) {
    Bytes out = {'B', 'M'};
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, pixelOffset);
    return out;
}

Bytes BitmapInfoHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression, uint32_t colorsUsed,
                       uint32_t headerSize) {
    Bytes out;
    PutLe32(out, headerSize);
    PutLe32(out, static_cast<uint32_t>(width));
    PutLe32(out, static_cast<uint32_t>(height));
    PutLe16(out, 1);
    PutLe16(out, bitCount);
    PutLe32(out, compression);
    PutLe32(out, 0);     // biSizeImage
    PutLe32(out, 2835);  // 72 dots per inch
    PutLe32(out, 2835);
    PutLe32(out, colorsUsed);
    PutLe32(out, 0);
    out.resize(headerSize, 0);
    return out;
}

Bytes BitmapCoreHeader(uint16_t width, uint16_t height, uint16_t bitCount) {
    Bytes out;
    PutLe32(out, 12);
    PutLe16(out, width);
    PutLe16(out, height);
    PutLe16(out, 1);
    PutLe16(out, bitCount);
    return out;
}

Bytes BitmapRows24(const std::vector<std::vector<Rgb8>>& rows) {
    Bytes out;
    for (const auto& row : rows) {
        for (const Rgb8& p : row) out.insert(out.end(), {p.b, p.g, p.r});
        while (out.size() % 4 != 0) out.push_back(0xEE);
    }
    return out;
}

Rgb8 TableColor(int i) {
    return Rgb8{static_cast<uint8_t>(i * 7 + 1), static_cast<uint8_t>(i * 3 + 2), static_cast<uint8_t>(255 - i)};
}

Bytes QuadTable(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        const Rgb8 c = TableColor(i);
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    return out;
}

Bytes TripleTable(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        const Rgb8 c = TableColor(i);
        out.insert(out.end(), {c.b, c.g, c.r});
    }
    return out;
}
