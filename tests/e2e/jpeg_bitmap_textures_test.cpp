// JPEG and bitmap textures on the rules, and what bad ones do, on the
// headless backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "images/texture_list.h"
#include "render/textures.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/jpeg_memory.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr int TEXTURE_WIDTH = 16;

struct Band {
    int rows;
    Rgb8 color;
};

// The first rule's texture as a JPEG: its rows in decoding order, the first
// band first, so that it lands at t = 0 (the lower strip: t from 16 to 91 of
// 380 rows; the slide 111 to 257; the upper strip 273 to 377).
std::vector<uint8_t> BandedJpeg(const std::vector<Band>& bands) {
    std::vector<uint8_t> samples;
    int height = 0;
    for (const Band& band : bands) {
        height += band.rows;
        for (int i = 0; i < band.rows * TEXTURE_WIDTH; ++i) {
            samples.insert(samples.end(), {band.color.r, band.color.g, band.color.b});
        }
    }
    return CompressJpeg(TEXTURE_WIDTH, height, 3, samples);
}

// The second rule's texture as a 24-bit bitmap, bottom row first as bitmaps
// store them: lower strip t from 7 to 123 of 409 rows, slide 142 to 301,
// upper strip 316 to 407.
std::vector<uint8_t> BandedBitmap(const std::vector<Band>& bands) {
    std::vector<std::vector<Rgb8>> rows;
    for (const Band& band : bands) {
        for (int r = 0; r < band.rows; ++r) rows.emplace_back(TEXTURE_WIDTH, band.color);
    }
    Bytes file = BitmapFileHeader(54);
    Append(file, BitmapInfoHeader(TEXTURE_WIDTH, static_cast<int32_t>(rows.size()), 24));
    Append(file, BitmapRows24(rows));
    return file;
}

const std::vector<Band> FIRST_RULE = {{100, {0, 0, 255}}, {165, {0, 255, 0}}, {115, {255, 0, 0}}};
const std::vector<Band> SECOND_RULE = {{132, {255, 128, 0}}, {176, {0, 128, 255}}, {101, {255, 255, 0}}};

struct StripColor {
    const char* strip;
    double y;  // scene y of the strip's middle after start-up
    Rgb8 color;
};

bool Near(Rgb c, Rgb8 e, int tolerance) {
    return std::abs(c.r - e.r) <= tolerance && std::abs(c.g - e.g) <= tolerance && std::abs(c.b - e.b) <= tolerance;
}

// Every strip in its colour, on both sides of the cursor window.
void ExpectStrips(const std::vector<StripColor>& strips, int tolerance) {
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    for (const StripColor& s : strips) {
        for (double x : {-12.0, -6.0, 6.0, 12.0}) {
            const ScreenPoint p = ProjectToClient(x, s.y, 23, W, H);
            const Rgb c = PixelAt(picture, W, static_cast<int>(p.x), static_cast<int>(p.y));
            EXPECT_TRUE(Near(c, s.color, tolerance))
                << s.strip << " at x " << x << ": (" << c.r << ", " << c.g << ", " << c.b << ")";
        }
    }
}

class JpegAndBitmapTextures : public ::testing::Test {
protected:
    void TearDown() override { ResetProgramState(); }
};

TEST_F(JpegAndBitmapTextures, EachColourLandsUprightOnItsStrip) {
    const std::string directory = MakeDataDirectory({
        TextFile("data/ts", "2\nruleA j m data\\first.jpg\nruleB b n data\\second.bmp\n"),
        DataFile{"data/first.jpg", BandedJpeg(FIRST_RULE)},
        DataFile{"data/second.bmp", BandedBitmap(SECOND_RULE)},
    });
    ASSERT_TRUE(StartProgramIn(directory, W, H));
    EXPECT_TRUE(HeadlessMessageBoxes().empty());
    ASSERT_NE(textureTable.names[0], 0u);
    ASSERT_NE(textureTable.names[1], 0u);
    // JPEG keeps its colours within a few levels even at quality 100.
    ExpectStrips({{"first upper strip", 8.0, FIRST_RULE[2].color},
                  {"first slide", 5.5, FIRST_RULE[1].color},
                  {"first lower strip", 3.0, FIRST_RULE[0].color}},
                 8);
    ExpectStrips({{"second upper strip", -2.0, SECOND_RULE[2].color},
                  {"second slide", -4.5, SECOND_RULE[1].color},
                  {"second lower strip", -7.0, SECOND_RULE[0].color}},
                 2);
}

TEST_F(JpegAndBitmapTextures, BadBitmapShowsOneMessageAndItsRuleStaysUntextured) {
    Bytes shortBitmap = BandedBitmap(SECOND_RULE);
    shortBitmap.pop_back();
    const std::string directory = MakeDataDirectory({
        TextFile("data/ts", "2\nruleA j m data/first.jpg\nruleB b m data/second.bmp\n"),
        DataFile{"data/first.jpg", BandedJpeg(FIRST_RULE)},
        DataFile{"data/second.bmp", shortBitmap},
    });
    ASSERT_TRUE(StartProgramIn(directory, W, H));
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0].caption, "Error");
    EXPECT_EQ(HeadlessMessageBoxes()[0].text, "Image file conversion error.");
    // The first rule has its texture; the second is drawn plain white.
    ExpectStrips({{"first slide", 5.5, FIRST_RULE[1].color}}, 8);
    ExpectStrips({{"second upper strip", -2.0, {255, 255, 255}},
                  {"second slide", -4.5, {255, 255, 255}},
                  {"second lower strip", -7.0, {255, 255, 255}}},
                 0);
}

// Starts the program in a directory with these files; ends the process when
// start-up does.
[[noreturn]] void StartWith(const std::vector<DataFile>& files) {
    if (StartProgramIn(MakeDataDirectory(files), W, H)) std::exit(0);
    std::exit(2);
}

class BrokenJpeg : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(BrokenJpeg, MissingJpegShowsBothMessagesAndEndsWithStatusOne) {
    EXPECT_EXIT(StartWith({TextFile("data/ts", "2\nruleA j m data/missing.jpg\nruleB b m data/b.bmp\n")}),
                testing::ExitedWithCode(1), "Error: Unable to load JPG File!\nError: Unable to load JPG texture\n");
}

TEST_F(BrokenJpeg, FileThatIsNotAJpegEndsWithTheLibrarysMessage) {
    const std::vector<uint8_t> bitmap = BandedBitmap(SECOND_RULE);
    EXPECT_EXIT(StartWith({TextFile("data/ts", "2\nruleA j m data/b.bmp\nruleB b m data/b.bmp\n"),
                           DataFile{"data/b.bmp", bitmap}}),
                testing::ExitedWithCode(1), "^Not a JPEG file: starts with 0x42 0x4d\n");
}

}  // namespace
