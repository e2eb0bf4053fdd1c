// The bitmap reader on files written byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "images/dib_reader.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

Bytes Flatten(const std::vector<Rgb8>& pixels) {
    Bytes out;
    for (const Rgb8& p : pixels) out.insert(out.end(), {p.r, p.g, p.b});
    return out;
}

const Rgb8 RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, WHITE{255, 255, 255};

// A 2 x 2 24-bit file with a file header: bottom row red, green; top row
// blue, white (stored bottom row first).
Bytes TwoByTwo24(int32_t height = 2) {
    Bytes file = BitmapFileHeader(54);
    Append(file, BitmapInfoHeader(2, height, 24));
    if (height > 0) {
        Append(file, BitmapRows24({{RED, GREEN}, {BLUE, WHITE}}));
    } else {
        Append(file, BitmapRows24({{BLUE, WHITE}, {RED, GREEN}}));
    }
    return file;
}

class DibReader : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        FreeImage(image);
        ResetProgramState();
    }

    Image* Read(const std::string& name, const Bytes& file) {
        FreeImage(image);
        image = ReadDibImage(MakeDataFile(name, file).c_str(), nullptr);
        return image;
    }

    // The one message box that a refusal shows.
    static std::string OnlyMessage() {
        const auto& boxes = HeadlessMessageBoxes();
        if (boxes.size() != 1) return "(" + std::to_string(boxes.size()) + " message boxes)";
        EXPECT_EQ(boxes[0].caption, "Error");
        return boxes[0].text;
    }

    void ExpectPixels(int width, int height, const Bytes& rgbBottomRowFirst) {
        ASSERT_NE(image, nullptr) << OnlyMessage();
        EXPECT_EQ(image->width, width);
        EXPECT_EQ(image->height, height);
        EXPECT_EQ(image->bytesPerPixel, 3);
        EXPECT_EQ(image->rowStride, width * 3);
        ASSERT_EQ(rgbBottomRowFirst.size(), static_cast<size_t>(width * height * 3));
        EXPECT_EQ(Bytes(image->pixels, image->pixels + rgbBottomRowFirst.size()), rgbBottomRowFirst);
        EXPECT_TRUE(HeadlessMessageBoxes().empty());
    }

    Image* image = nullptr;
};

TEST_F(DibReader, TwentyFourBitsComeOutRgbBottomRowFirst) {
    Read("rgb24.bmp", TwoByTwo24());
    ExpectPixels(2, 2, Flatten({RED, GREEN, BLUE, WHITE}));
}

TEST_F(DibReader, TopDownFileIsTurnedOver) {
    Read("top-down.bmp", TwoByTwo24(-2));
    ExpectPixels(2, 2, Flatten({RED, GREEN, BLUE, WHITE}));
}

TEST_F(DibReader, RowPaddingOfWidthsOneToFourIsSkipped) {
    for (int width = 1; width <= 4; ++width) {
        SCOPED_TRACE("width " + std::to_string(width));
        std::vector<std::vector<Rgb8>> rows(2);
        std::vector<Rgb8> expected;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < width; ++x) {
                rows[y].push_back(Rgb8{static_cast<uint8_t>(10 * x + 1), static_cast<uint8_t>(100 + y), 7});
                expected.push_back(rows[y].back());
            }
        }
        Bytes file = BitmapFileHeader(54);
        Append(file, BitmapInfoHeader(width, 2, 24));
        Append(file, BitmapRows24(rows));
        Read("width" + std::to_string(width) + ".bmp", file);
        ExpectPixels(width, 2, Flatten(expected));
    }
}

TEST_F(DibReader, EightBitTableOfAllEntries) {
    // biClrUsed 0: 256 entries, pixels after them (bfOffBits).
    Bytes file = BitmapFileHeader(14 + 40 + 256 * 4);
    Append(file, BitmapInfoHeader(3, 1, 8));
    Append(file, QuadTable(256));
    Append(file, {0, 128, 255, 0});
    Read("8bit-256.bmp", file);
    ExpectPixels(3, 1, Flatten({TableColor(0), TableColor(128), TableColor(255)}));
}

TEST_F(DibReader, SeventeenEntriesAndPixelsRightAfterThemWithoutFileHeader) {
    Bytes file = BitmapInfoHeader(4, 2, 8, 0, 17);
    Append(file, QuadTable(17));
    Append(file, {16, 0, 5, 9, /* top row */ 1, 2, 3, 16});
    Read("8bit-17.bmp", file);
    ExpectPixels(4, 2,
                 Flatten({TableColor(16), TableColor(0), TableColor(5), TableColor(9), TableColor(1), TableColor(2),
                          TableColor(3), TableColor(16)}));
}

TEST_F(DibReader, CoreHeaderFourBitEntriesAreWidened) {
    // 16 three-byte entries, then the pixels, no file header. Width 3:
    // two bytes a row, padded to four.
    Bytes file = BitmapCoreHeader(3, 2, 4);
    Append(file, TripleTable(16));
    Append(file, {0x0F, 0x70, 0, 0, /* top row */ 0x12, 0x30, 0, 0});
    Read("core4.bmp", file);
    ExpectPixels(3, 2,
                 Flatten({TableColor(0), TableColor(15), TableColor(7), TableColor(1), TableColor(2), TableColor(3)}));
}

TEST_F(DibReader, CoreHeaderOneBitWithFileHeader) {
    Bytes file = BitmapFileHeader(14 + 12 + 6);
    Append(file, BitmapCoreHeader(9, 1, 1));
    Append(file, TripleTable(2));
    Append(file, {0xA5, 0x80, 0, 0});
    Read("core1.bmp", file);
    std::vector<Rgb8> expected;
    for (int bit : {1, 0, 1, 0, 0, 1, 0, 1, 1}) expected.push_back(TableColor(bit));
    ExpectPixels(9, 1, Flatten(expected));
}

TEST_F(DibReader, RunLengthEightBit) {
    Bytes file = BitmapInfoHeader(4, 2, 8, 1 /* BI_RLE8 */, 3);
    Append(file, QuadTable(3));
    // Bottom row: a run of four of colour 1, end of line; top row: the
    // literal pixels 2, 0, 1 (padded to a word), a run of one 0, end of
    // the picture.
    Append(file, {4, 1, 0, 0, 0, 3, 2, 0, 1, 0, 1, 0, 0, 1});
    Read("rle8.bmp", file);
    ExpectPixels(4, 2,
                 Flatten({TableColor(1), TableColor(1), TableColor(1), TableColor(1), TableColor(2), TableColor(0),
                          TableColor(1), TableColor(0)}));
}

TEST_F(DibReader, RunLengthFourBit) {
    Bytes file = BitmapFileHeader(14 + 40 + 16 * 4);
    Append(file, BitmapInfoHeader(5, 1, 4, 2 /* BI_RLE4 */));
    Append(file, QuadTable(16));
    // A run of five pixels alternating colours 3 and 12, end of the picture.
    Append(file, {5, 0x3C, 0, 1});
    Read("rle4.bmp", file);
    ExpectPixels(5, 1,
                 Flatten({TableColor(3), TableColor(12), TableColor(3), TableColor(12), TableColor(3)}));
}

TEST_F(DibReader, PixelOutsideTheColourTableIsAConversionError) {
    Bytes file = BitmapInfoHeader(2, 1, 8, 0, 2);
    Append(file, QuadTable(2));
    Append(file, {1, 2, 0, 0});
    EXPECT_EQ(Read("outside-table.bmp", file), nullptr);
    EXPECT_EQ(OnlyMessage(), "Image file conversion error.");
}

TEST_F(DibReader, SixteenAndThirtyTwoBits) {
    // 16 bits, five each (the default layout): pure red and pure blue.
    Bytes file16 = BitmapInfoHeader(2, 1, 16);
    Append(file16, {0x00, 0x7C, 0x1F, 0x00});
    Read("16bit.bmp", file16);
    ExpectPixels(2, 1, Flatten({RED, BLUE}));

    ResetProgramState();
    // 16 bits with masks 5-6-5: green.
    Bytes file565 = BitmapInfoHeader(2, 1, 16, 3 /* BI_BITFIELDS */);
    for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) PutLe32(file565, mask);
    Append(file565, {0xE0, 0x07, 0xE0, 0x07});
    Read("565.bmp", file565);
    ExpectPixels(2, 1, Flatten({GREEN, GREEN}));

    ResetProgramState();
    // 32 bits: B, G, R and a fourth byte that is not alpha.
    Bytes file32 = BitmapInfoHeader(2, 1, 32);
    Append(file32, {10, 20, 30, 0, 40, 50, 60, 7});
    Read("32bit.bmp", file32);
    ExpectPixels(2, 1, {30, 20, 10, 60, 50, 40});
}

TEST_F(DibReader, LaterHeaderVersionsAreUnknown) {
    for (uint32_t size : {108u, 124u}) {
        ResetProgramState();
        Bytes file = BitmapFileHeader(14 + size);
        Append(file, BitmapInfoHeader(2, 2, 24, 0, 0, size));
        Append(file, BitmapRows24({{RED, GREEN}, {BLUE, WHITE}}));
        EXPECT_EQ(Read("v" + std::to_string(size) + ".bmp", file), nullptr);
        EXPECT_EQ(OnlyMessage(), "Unknown DIB file format.");
    }
}

TEST_F(DibReader, MissingAndEmptyFilesCannotBeOpened) {
    const std::string missing = MissingDataFile("missing.bmp");
    image = ReadDibImage(missing.c_str(), nullptr);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + missing + ".\n");

    ResetProgramState();
    const std::string empty = MakeDataFile("empty.bmp", {});
    image = ReadDibImage(empty.c_str(), nullptr);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + empty + ".\n");
}

TEST_F(DibReader, LongPathIsCutToTheMessageBuffer) {
    const std::string path = MissingDataFile(std::string(400, 'x') + ".bmp");
    image = ReadDibImage(path.c_str(), nullptr);
    EXPECT_EQ(image, nullptr);
    const std::string full = "Failed to open DIB file " + path + ".\n";
    EXPECT_EQ(OnlyMessage(), full.substr(0, DIB_MESSAGE_BUFFER_SIZE - 1));
}

TEST_F(DibReader, FileOneByteShortOfItsRowsIsRefused) {
    Bytes file = TwoByTwo24();
    file.pop_back();
    EXPECT_EQ(Read("short-rows.bmp", file), nullptr);
    EXPECT_EQ(OnlyMessage(), "Image file conversion error.");
}

TEST_F(DibReader, ColourTableBeyondTheFileIsRefused) {
    // An 8-bit file whose header promises 256 entries but holds 10.
    Bytes file = BitmapInfoHeader(1, 1, 8);
    Append(file, QuadTable(10));
    EXPECT_EQ(Read("short-table.bmp", file), nullptr);
    EXPECT_EQ(OnlyMessage(), "Image file conversion error.");
}

TEST_F(DibReader, PixelOffsetBeyondTheFileIsRefused) {
    Bytes file = TwoByTwo24();
    file[10] = 0xFF;  // bfOffBits far past the end
    EXPECT_EQ(Read("far-offset.bmp", file), nullptr);
    EXPECT_EQ(OnlyMessage(), "Image file conversion error.");
}

TEST_F(DibReader, HugeRunLengthPictureIsRefused) {
    // Twelve bytes of run-length data that claim 60000 x 60000 pixels.
    Bytes file = BitmapInfoHeader(60000, 60000, 8, 1, 1);
    Append(file, QuadTable(1));
    Append(file, {0, 1});
    EXPECT_EQ(Read("huge.bmp", file), nullptr);
    EXPECT_EQ(OnlyMessage(), "Out of memory.");
}

TEST_F(DibReader, EveryCutOfAValidFileIsRefusedWithOneMessage) {
    // The memory form of the reader on blocks of exactly the cut size, so
    // that the address checker sees any read past the end.
    Bytes file = BitmapFileHeader(14 + 40 + 16 * 4);
    Append(file, BitmapInfoHeader(5, 3, 4));
    Append(file, QuadTable(16));
    for (int row = 0; row < 3; ++row) Append(file, {0x12, 0x34, 0x50, 0x00});
    for (size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        ResetProgramState();
        Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        Image* result = DecodeDibImage(cut.data(), cut.size(), nullptr);
        EXPECT_EQ(result, nullptr);
        FreeImage(result);
        EXPECT_EQ(HeadlessMessageBoxes().size(), 1u);
    }
    ResetProgramState();
    image = DecodeDibImage(file.data(), file.size(), nullptr);
    EXPECT_NE(image, nullptr);
}

TEST_F(DibReader, ColourCountTable) {
    EXPECT_EQ(CountDibColors(BitmapCoreHeader(1, 1, 1).data()), 2);
    EXPECT_EQ(CountDibColors(BitmapCoreHeader(1, 1, 4).data()), 16);
    EXPECT_EQ(CountDibColors(BitmapCoreHeader(1, 1, 8).data()), 256);
    EXPECT_EQ(CountDibColors(BitmapCoreHeader(1, 1, 24).data()), 0);
    EXPECT_EQ(CountDibColors(BitmapInfoHeader(1, 1, 8).data()), 256);
    EXPECT_EQ(CountDibColors(BitmapInfoHeader(1, 1, 8, 0, 17).data()), 17);
    EXPECT_EQ(CountDibColors(BitmapInfoHeader(1, 1, 24, 0, 3).data()), 3);
    EXPECT_EQ(CountDibColors(BitmapInfoHeader(1, 1, 8, 0, 0x10005).data()), 5);
    EXPECT_EQ(CountDibColors(BitmapInfoHeader(1, 1, 32).data()), 0);
}

}  // namespace
