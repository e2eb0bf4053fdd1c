#include "images/tga_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_data.h"

namespace {

class TgaReader : public ::testing::Test {
protected:
    // Writes the bytes to a file of its own and reads it back.
    bool Read(const std::vector<uint8_t>& bytes) {
        const std::string directory = MakeDataDirectory({DataFile{"image.tga", bytes}});
        EXPECT_FALSE(directory.empty());
        return ReadTgaImage((directory + "/image.tga").c_str(), &image);
    }
    std::vector<uint8_t> Pixels() const {
        return std::vector<uint8_t>(image.pixels, image.pixels + static_cast<size_t>(image.height) * image.rowStride);
    }
    void TearDown() override { ReleaseImagePixels(&image); }

    // A refusal leaves the record as it was.
    static constexpr Image UNTOUCHED = {-7, -7, -7, -7, nullptr};
    Image image = UNTOUCHED;

    void ExpectRefused(const std::vector<uint8_t>& bytes, const char* what) {
        EXPECT_FALSE(Read(bytes)) << what;
        EXPECT_EQ(image.width, -7) << what;
        EXPECT_EQ(image.pixels, nullptr) << what;
    }
};

TEST_F(TgaReader, OnePixelOf32BitsComesOutAsRgba) {
    const std::vector<uint8_t> file = MakeTga(1, 1, 32, {10, 20, 30, 40});
    ASSERT_EQ(file.size(), 22u);
    ASSERT_TRUE(Read(file));
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.bytesPerPixel, 4);
    EXPECT_EQ(image.rowStride, 4);
    EXPECT_EQ(Pixels(), (std::vector<uint8_t>{30, 20, 10, 40}));
}

TEST_F(TgaReader, TwoPixelsOf24BitsSwapBlueAndRedAndIgnoreAFooter) {
    ASSERT_TRUE(Read(MakeTga(2, 1, 24, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.rowStride, 6);
    EXPECT_EQ(Pixels(), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    ReleaseImagePixels(&image);

    std::vector<uint8_t> withFooter = MakeTga(2, 1, 24, {1, 2, 3, 4, 5, 6});
    const std::string footer("\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0", 26);
    withFooter.insert(withFooter.end(), footer.begin(), footer.end());
    ASSERT_TRUE(Read(withFooter));
    EXPECT_EQ(Pixels(), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
}

TEST_F(TgaReader, RowsStayInStoredOrderWhateverTheDescriptorSays) {
    const std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2, 24 bits
    ASSERT_TRUE(Read(MakeTga(2, 2, 24, rows, 0x00)));  // bottom row stored first
    const std::vector<uint8_t> bottomUp = Pixels();
    ReleaseImagePixels(&image);
    ASSERT_TRUE(Read(MakeTga(2, 2, 24, rows, 0x20)));  // top row stored first
    EXPECT_EQ(Pixels(), bottomUp);
    EXPECT_EQ(bottomUp, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
}

TEST_F(TgaReader, RefusesEveryOtherKindOfFile) {
    const std::vector<uint8_t> good = MakeTga(2, 1, 24, {1, 2, 3, 4, 5, 6});
    auto changed = [&](size_t offset, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    std::vector<uint8_t> withId = changed(0, 1);
    withId.insert(withId.begin() + 18, 'x');
    ExpectRefused(withId, "image ID");
    ExpectRefused(changed(1, 1), "colour map");
    ExpectRefused(changed(2, 10), "run-length");
    ExpectRefused(changed(2, 3), "greyscale");
    ExpectRefused(changed(8, 1), "x origin");
    ExpectRefused(changed(10, 1), "y origin");
    for (uint8_t bits : {8, 15, 16}) ExpectRefused(changed(16, bits), "depth");
    ExpectRefused(changed(12, 0), "zero width");
    ExpectRefused(changed(14, 0), "zero height");
    ExpectRefused(std::vector<uint8_t>(good.begin(), good.end() - 1), "one byte short");
    ExpectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 17), "header cut short");
    ExpectRefused({}, "empty");
    EXPECT_FALSE(ReadTgaImage("/nonexistent/vernaskel/image.tga", &image));
    EXPECT_EQ(image.pixels, nullptr);
}

TEST_F(TgaReader, HugeSizesAreRefusedWithoutOverflow) {
    // 65535 x 65535 at 32 bits is 17 GB, far past what a 32-bit product
    // holds; 32769 x 32768 at 32 bits wraps a 32-bit product to a small one.
    ExpectRefused(MakeTga(65535, 65535, 32, std::vector<uint8_t>(64, 7)), "65535 x 65535");
    ExpectRefused(MakeTga(32769, 32768, 32, std::vector<uint8_t>(4 * 32768 + 64, 7)), "wrapping product");
    // Within the limit, but the file is far shorter than the pixels it promises.
    ExpectRefused(MakeTga(20000, 20000, 24, std::vector<uint8_t>(1000, 7)), "short for its size");
}

}  // namespace
