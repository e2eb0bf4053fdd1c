#include "images/texture_list.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "platform/platform.h"
#include "render/bitmap_font.h"
#include "render/loading_screen.h"
#include "render/view.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

// Reads a list from a file holding the text, opened as the program opens one.
ListReadResult Parse(const std::string& text, TextureList* list, std::string* rest = nullptr) {
    const std::string path = MakeDataFile("ts", std::vector<uint8_t>(text.begin(), text.end()));
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return ListReadResult{ListProblem::Unreadable, 0, 0, 0, 0};
    const ListReadResult result = ReadTextureList(file, list);
    if (rest != nullptr) {
        rest->clear();
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) rest->push_back(static_cast<char>(c));
    }
    std::fclose(file);
    return result;
}

std::string Describe(const ListReadResult& result) {
    char text[512];
    DescribeListProblem(result, "data/ts", text, sizeof text);
    return text;
}

TEST(TextureListWords, LettersAreCaseInsensitiveAndCarryFromEntryToEntry) {
    TextureList list{};
    std::string rest;
    const ListReadResult result = Parse(
        "4\n"
        "first TGA mip data/a.tga\n"
        "second j N data\\b.jpg\n"
        "third ? x c.bmp   fourth Bitmap 0 d.bmp\n"
        "anything after the last entry",
        &list, &rest);
    ASSERT_EQ(result.problem, ListProblem::None);
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(list.entries[0].type, TextureType::Tga);
    EXPECT_EQ(list.entries[0].filter, TextureFilter::Mipmapped);
    EXPECT_STREQ(list.entries[0].path, "data/a.tga");
    EXPECT_EQ(list.entries[1].type, TextureType::Jpeg);
    EXPECT_EQ(list.entries[1].filter, TextureFilter::Plain);
    EXPECT_STREQ(list.entries[1].path, "data\\b.jpg");  // handed on unchanged
    // Unknown letters keep the previous entry's type and filter.
    EXPECT_EQ(list.entries[2].type, TextureType::Jpeg);
    EXPECT_EQ(list.entries[2].filter, TextureFilter::Plain);
    EXPECT_EQ(list.entries[3].type, TextureType::Bitmap);
    EXPECT_EQ(list.entries[3].filter, TextureFilter::Plain);
    // Nothing after the last entry is read.
    EXPECT_EQ(rest, "anything after the last entry");
}

TEST(TextureListWords, FirstEntryWithoutLettersHasNoneAndLabelsAreNeverLetters) {
    TextureList list{};
    ASSERT_EQ(Parse("2 j x y one.tga  t t ? two.tga", &list).problem, ListProblem::None);
    EXPECT_EQ(list.entries[0].type, TextureType::None);
    EXPECT_EQ(list.entries[0].filter, TextureFilter::None);
    // The label "t" is not a type; the type word "t" is; the filter stays none.
    EXPECT_EQ(list.entries[1].type, TextureType::Tga);
    EXPECT_EQ(list.entries[1].filter, TextureFilter::None);

    ASSERT_EQ(Parse("1 m b n one.bmp", &list).problem, ListProblem::None);
    EXPECT_EQ(list.entries[0].type, TextureType::Bitmap);
    EXPECT_EQ(list.entries[0].filter, TextureFilter::Plain);
}

TEST(TextureListWords, CountIsReadAsASignedDecimal) {
    TextureList list{};
    std::string rest;
    EXPECT_EQ(Parse("  -3 never read", &list, &rest).problem, ListProblem::None);
    EXPECT_EQ(list.count, -3);
    EXPECT_EQ(rest, " never read");
    EXPECT_EQ(Parse("0", &list).problem, ListProblem::None);
    EXPECT_EQ(list.count, 0);
    // Digits end the count; what follows them is the first label.
    ASSERT_EQ(Parse("+1x t n a.tga", &list).problem, ListProblem::None);
    EXPECT_EQ(list.entries[0].type, TextureType::Tga);

    for (const char* text : {"", "   \n", "two t m a.tga", "-", "- 2"}) {
        const ListReadResult result = Parse(text, &list);
        EXPECT_EQ(result.problem, ListProblem::NoCount) << '"' << text << '"';
        EXPECT_EQ(Describe(result), "The texture list data/ts does not begin with the number of textures.");
    }
}

TEST(TextureListWords, CountsBeyondTheTableAreRefusedBeforeAnyEntryIsRead) {
    TextureList list{};
    std::string entries;
    for (int i = 0; i < TEXTURE_TABLE_CAPACITY; ++i) entries += "label t m image.tga\n";
    EXPECT_EQ(Parse("21\n" + entries, &list).problem, ListProblem::None);
    EXPECT_STREQ(list.entries[20].path, "image.tga");

    const ListReadResult result = Parse("22\n" + entries + entries, &list);
    EXPECT_EQ(result.problem, ListProblem::TooManyEntries);
    EXPECT_EQ(Describe(result), "The texture list data/ts names 22 textures; at most 21 can be loaded.");
    // Far past 32 bits: saturated, never wrapped to a small or negative count.
    const ListReadResult huge = Parse("99999999999999999999999999 a t m b", &list);
    EXPECT_EQ(huge.problem, ListProblem::TooManyEntries);
    EXPECT_EQ(huge.count, 2147483647);
    EXPECT_EQ(Parse("-99999999999999999999999999", &list).problem, ListProblem::None);
    EXPECT_EQ(list.count, -2147483647 - 1);
}

TEST(TextureListWords, WordsLongerThan251CharactersAreRefused) {
    TextureList list{};
    const std::string longest(251, 'p');
    ASSERT_EQ(Parse("1 label t m " + longest, &list).problem, ListProblem::None);
    EXPECT_EQ(std::string(list.entries[0].path), longest);

    ListReadResult result = Parse("1 label t m " + longest + "p", &list);
    EXPECT_EQ(result.problem, ListProblem::WordTooLong);
    EXPECT_EQ(result.entry, 1);
    EXPECT_EQ(result.word, 4);
    EXPECT_EQ(Describe(result),
              "The texture list data/ts has a word of more than 251 characters: the image path of entry 1.");

    result = Parse("2 a t m b.tga " + std::string(100000, 'L') + " t m c.tga", &list);
    EXPECT_EQ(result.problem, ListProblem::WordTooLong);
    EXPECT_EQ(result.entry, 2);
    EXPECT_EQ(result.word, 1);
}

TEST(TextureListWords, ListsThatEndEarlySayWhereAndReadNoFurther) {
    TextureList list{};
    ListReadResult result = Parse("3 a t m a.tga b t", &list);
    EXPECT_EQ(result.problem, ListProblem::EndsEarly);
    EXPECT_EQ(result.entry, 2);
    EXPECT_EQ(result.word, 3);
    EXPECT_EQ(Describe(result), "The texture list data/ts ends early: entry 2 of 3 has no filter.");

    result = Parse("5 a t m a.tga\n", &list);
    EXPECT_EQ(result.problem, ListProblem::EndsEarly);
    EXPECT_EQ(Describe(result), "The texture list data/ts ends early: it names 5 textures, but has only 1.");
}

TEST(TextureListWords, ReadErrorsAreReported) {
    FILE* directory = std::fopen("/", "r");  // opens, but every read fails
    ASSERT_NE(directory, nullptr);
    TextureList list{};
    const ListReadResult result = ReadTextureList(directory, &list);
    std::fclose(directory);
    EXPECT_EQ(result.problem, ListProblem::Unreadable);
    EXPECT_EQ(Describe(result), "Cannot read the texture list data/ts: Is a directory.");
}

// --- The loading screen -------------------------------------------------------

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

class LoadingScreen : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateProgramWindow(WIDTH, HEIGHT)); }
    void TearDown() override { ResetProgramState(); }

    // Pixel column and row (top-down) of a point of the orthographic frame.
    static int Column(double x) { return static_cast<int>((x + 0.12) / 0.24 * WIDTH); }
    static int Row(double y) { return static_cast<int>((0.1 - y) / 0.2 * HEIGHT); }
};

TEST_F(LoadingScreen, FourEntriesMakeFourSegmentsFromRedTowardsOrange) {
    ShowLoadingScreen(4);
    for (int n = 1; n <= 4; ++n) DrawProgressStep(static_cast<float>(n));
    EXPECT_EQ(LoadProgress, 1.0f);
    EXPECT_EQ(HeadlessPresentCount(), 4);

    const std::vector<uint8_t> picture = HeadlessReadPixels();
    const int row = Row(-0.075);
    for (int n = 1; n <= 4; ++n) {
        // Segment n spans x from -0.1 + (n - 1) * 0.05 to -0.1 + n * 0.05.
        const Rgb inside = PixelAt(picture, WIDTH, Column(-0.1 + (n - 0.5) * 0.05), row);
        EXPECT_NEAR(inside.r, 230, 1) << n;
        EXPECT_NEAR(inside.g, (n - 1) * 0.25 * 255, 1) << n;
        EXPECT_NEAR(inside.b, 26, 1) << n;
    }
    // The segments meet: no gap at the joins, and nothing beyond the ends.
    for (double join : {-0.05, 0.0, 0.05}) {
        EXPECT_EQ(PixelAt(picture, WIDTH, Column(join), row).r, 230) << join;
    }
    EXPECT_EQ(PixelAt(picture, WIDTH, Column(-0.105), row).r, 0);
    EXPECT_EQ(PixelAt(picture, WIDTH, Column(0.105), row).r, 0);
    EXPECT_EQ(PixelAt(picture, WIDTH, Column(0.0), Row(-0.065)).r, 0);
    EXPECT_EQ(PixelAt(picture, WIDTH, Column(0.0), Row(-0.085)).r, 0);
}

TEST_F(LoadingScreen, CaptionRasterPositionIsFixedAboveTheBottomForAnyHeight) {
    bitmapFont.cellHeight = 12.0f;
    for (double height : {240.0, 480.0, 1000.0, 77.0}) {
        viewState.clientHeight = height;
        SetTextRasterPosition(45, static_cast<int32_t>(height - 100.0));
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        GLboolean valid = GL_FALSE;
        glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        EXPECT_TRUE(valid) << height;
        EXPECT_EQ(position[0], 54.0f) << height;
        EXPECT_EQ(position[1], 97.0f) << height;
    }
}

}  // namespace
