// The JPEG reader on files made with the library's own compressor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "images/jpeg_reader.h"
#include "tests/support/jpeg_memory.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

using Bytes = std::vector<uint8_t>;

// JPEG is lossy even at quality 100; flat colours come back within a few
// levels.
constexpr int TOLERANCE = 6;

void ExpectNear(const Image* image, const Bytes& expected) {
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->pixels, nullptr);
    ASSERT_EQ(static_cast<size_t>(image->height) * static_cast<size_t>(image->rowStride), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(image->pixels[i], expected[i], TOLERANCE) << "byte " << i;
    }
}

// A picture of flat quadrants: top left red, top right green, bottom left
// blue, bottom right white. Quadrants of 8 x 8 keep each in its own block.
Bytes Quadrants(int size) {
    Bytes out;
    const int half = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int quadrant = (y < half ? 0 : 2) + (x < half ? 0 : 1);
            static const uint8_t COLORS[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            out.insert(out.end(), COLORS[quadrant], COLORS[quadrant] + 3);
        }
    }
    return out;
}

class JpegReader : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        FreeImage(image);
        ResetProgramState();
    }
    Image* image = nullptr;
};

TEST_F(JpegReader, TwoByTwoBaselineGivesRgbRowsTopRowFirst) {
    const Bytes samples = {255, 0, 0, 0, 255, 0, /* bottom row */ 0, 0, 255, 255, 255, 255};
    image = ReadJpegImage(MakeDataFile("two.jpg", CompressJpeg(2, 2, 3, samples)).c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->rowStride, 6);
    // Four pixels in one block blur into each other a little more.
    for (size_t i = 0; i < samples.size(); ++i) EXPECT_NEAR(image->pixels[i], samples[i], 40) << "byte " << i;
    EXPECT_TRUE(HeadlessMessageBoxes().empty());
}

TEST_F(JpegReader, QuadrantsKeepTheirPlaces) {
    const Bytes samples = Quadrants(16);
    image = ReadJpegImage(MakeDataFile("quadrants.jpg", CompressJpeg(16, 16, 3, samples)).c_str(), nullptr);
    ExpectNear(image, samples);
}

TEST_F(JpegReader, ProgressiveFileDecodesLikeBaseline) {
    const Bytes samples = Quadrants(16);
    image = ReadJpegImage(MakeDataFile("progressive.jpg", CompressJpeg(16, 16, 3, samples, 100, true)).c_str(), nullptr);
    ExpectNear(image, samples);
}

TEST_F(JpegReader, GreyscaleComesOutRgb) {
    Bytes grey, rgb;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 24; ++x) {
            const uint8_t level = static_cast<uint8_t>(x < 8 ? 20 : x < 16 ? 128 : 240);
            grey.push_back(level);
            rgb.insert(rgb.end(), {level, level, level});
        }
    }
    image = ReadJpegImage(MakeDataFile("grey.jpg", CompressJpeg(24, 8, 1, grey)).c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->rowStride, 72);
    ExpectNear(image, rgb);
    for (int i = 0; i < 24 * 8; ++i) {
        EXPECT_EQ(image->pixels[3 * i], image->pixels[3 * i + 1]);
        EXPECT_EQ(image->pixels[3 * i], image->pixels[3 * i + 2]);
    }
}

TEST_F(JpegReader, AdobeCmykIsConvertedToRgb) {
    // Adobe's CMYK stores inverted inks (255 = no ink). Left half: magenta
    // and yellow ink, red; right half: black ink only, black; a middle
    // grey from half black.
    Bytes cmyk, rgb;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 24; ++x) {
            if (x < 8) {
                cmyk.insert(cmyk.end(), {255, 0, 0, 255});
                rgb.insert(rgb.end(), {255, 0, 0});
            } else if (x < 16) {
                cmyk.insert(cmyk.end(), {255, 255, 255, 0});
                rgb.insert(rgb.end(), {0, 0, 0});
            } else {
                cmyk.insert(cmyk.end(), {255, 255, 255, 128});
                rgb.insert(rgb.end(), {128, 128, 128});
            }
        }
    }
    image = ReadJpegImage(MakeDataFile("cmyk.jpg", CompressJpeg(24, 8, 4, cmyk)).c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->rowStride, 72);
    ExpectNear(image, rgb);
}

TEST_F(JpegReader, FileCutShortStillYieldsTheFullSize) {
    Bytes samples;
    for (int i = 0; i < 64 * 64; ++i) samples.insert(samples.end(), {static_cast<uint8_t>(i), 90, 200});
    Bytes file = CompressJpeg(64, 64, 3, samples, 90);
    file.resize(file.size() / 2);
    image = ReadJpegImage(MakeDataFile("cut.jpg", file).c_str(), nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 64);
    EXPECT_EQ(image->height, 64);
    EXPECT_EQ(image->rowStride, 192);
    // The first rows arrived whole.
    EXPECT_NEAR(image->pixels[2], 200, TOLERANCE);
    EXPECT_TRUE(HeadlessMessageBoxes().empty());
}

TEST_F(JpegReader, MissingFileIsReportedAndGivesNoImage) {
    image = ReadJpegImage(MissingDataFile("missing.jpg").c_str(), nullptr);
    EXPECT_EQ(image, nullptr);
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0].text, "Unable to load JPG File!");
    EXPECT_EQ(HeadlessMessageBoxes()[0].caption, "Error");
}

TEST_F(JpegReader, BackslashPathsAreTranslated) {
    const Bytes samples = Quadrants(16);
    std::string path = MakeDataFile("slash.jpg", CompressJpeg(16, 16, 3, samples));
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    image = ReadJpegImage(path.c_str(), nullptr);
    ExpectNear(image, samples);
}

using JpegReaderDeathTest = JpegReader;

TEST_F(JpegReaderDeathTest, FileThatIsNotAJpegEndsTheProcessWithTheLibrarysMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string notJpeg = MakeDataFile("not.jpg", {'G', 'I', 'F', '8', '9', 'a', 0, 0});
    EXPECT_EXIT(ReadJpegImage(notJpeg.c_str(), nullptr), ::testing::ExitedWithCode(1),
                "Not a JPEG file: starts with 0x47 0x49\n");
    const std::string empty = MakeDataFile("empty.jpg", {});
    EXPECT_EXIT(ReadJpegImage(empty.c_str(), nullptr), ::testing::ExitedWithCode(1), "Empty input file\n");
}

TEST_F(JpegReaderDeathTest, CorruptStreamEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Bytes file = CompressJpeg(16, 16, 3, Quadrants(16));
    // Cut inside the headers, before the first scan.
    file.resize(20);
    const std::string path = MakeDataFile("headless.jpg", file);
    EXPECT_EXIT(ReadJpegImage(path.c_str(), nullptr), ::testing::ExitedWithCode(1), ".+");
}

// DecodeJpegImage under an error manager that jumps back: what the fuzz
// target does. The address checker and valgrind see leaks here.
TEST_F(JpegReader, DecodingCanBeAbandonedByLongjmp) {
    const Bytes file = CompressJpeg(16, 16, 3, Quadrants(16));
    std::string message;

    image = NewImage();
    EXPECT_TRUE(DecodeJpegFromMemory(file.data(), file.size(), image, &message)) << message;
    ExpectNear(image, Quadrants(16));

    // Cut in the middle of the frame header.
    FreeImage(image);
    image = NewImage();
    EXPECT_FALSE(DecodeJpegFromMemory(file.data(), 170, image, &message));
    EXPECT_FALSE(message.empty());

    // A corrupt Huffman table after the pixel buffer exists is still
    // a clean return.
    Bytes broken = file;
    for (size_t i = 0; i + 1 < broken.size(); ++i) {
        if (broken[i] == 0xFF && broken[i + 1] == 0xC4) {
            for (size_t j = i + 4; j < i + 21; ++j) broken[j] = 0xFF;  // code counts past 256
            break;
        }
    }
    FreeImage(image);
    image = NewImage();
    EXPECT_FALSE(DecodeJpegFromMemory(broken.data(), broken.size(), image, &message));
    EXPECT_EQ(message, "Bogus Huffman table definition");
}

TEST_F(JpegReader, PictureBeyondTheSizeLimitIsRefused) {
    Bytes file = CompressJpeg(16, 16, 3, Quadrants(16));
    // The baseline frame header: FF C0, length, precision, height, width.
    for (size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = 0xFD;  // 65000 rows
            file[i + 6] = 0xE8;
            file[i + 7] = 0xFD;  // 65000 columns
            file[i + 8] = 0xE8;
            break;
        }
    }
    image = NewImage();
    std::string message;
    EXPECT_FALSE(DecodeJpegFromMemory(file.data(), file.size(), image, &message));
    EXPECT_EQ(message, "Insufficient memory (case 1000)");
    EXPECT_EQ(image->pixels, nullptr);
}

}  // namespace
