// The texture list, the loading screen and TGA textures on the rules, on the
// headless backend.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "app/startup.h"
#include "images/texture_list.h"
#include "render/bitmap_font.h"
#include "render/loading_screen.h"
#include "render/textures.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

bool Near(Rgb c, int r, int g, int b, int tolerance = 2) {
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

std::string Show(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// The first rule's texture: bands that the lower strip (t from 16 to 91 of
// 380 rows), the slide (111 to 257) and the upper strip (273 to 377) cover.
std::vector<uint8_t> FirstRuleTexture(int bitsPerPixel) {
    return MakeBandedTga(16, {{100, 0, 0, 255}, {165, 0, 255, 0}, {115, 255, 0, 0}}, bitsPerPixel);
}
// The second rule's: lower strip t from 7 to 123 of 409 rows, slide 142 to
// 301, upper strip 316 to 407.
std::vector<uint8_t> SecondRuleTexture(int bitsPerPixel) {
    return MakeBandedTga(16, {{132, 255, 128, 0}, {176, 0, 128, 255}, {101, 255, 255, 0}}, bitsPerPixel);
}

TEST(TextureLoading, EachTgaColourLandsUprightOnItsStrip) {
    const std::string directory = MakeDataDirectory({
        TextFile("data/ts", "2\nruleA t m data/first.tga\nruleB T n data/second.tga\n"),
        DataFile{"data/first.tga", FirstRuleTexture(32)},
        DataFile{"data/second.tga", SecondRuleTexture(24)},
    });
    constexpr int W = 640;
    constexpr int H = 480;
    ASSERT_TRUE(StartProgramIn(directory, W, H));
    ASSERT_NE(textureTable.names[0], 0u);
    ASSERT_NE(textureTable.names[1], 0u);
    ASSERT_NE(textureTable.names[0], textureTable.names[1]);
    EXPECT_EQ(textureTable.names[2], 0u);

    const std::vector<uint8_t> picture = HeadlessReadPixels();
    struct Expectation {
        const char* strip;
        double y;  // scene y of the strip's middle after start-up
        int r, g, b;
    };
    const Expectation expectations[] = {
        {"first upper strip", 8.0, 255, 0, 0},      {"first slide", 5.5, 0, 255, 0},
        {"first lower strip", 3.0, 0, 0, 255},      {"second upper strip", -2.0, 255, 255, 0},
        {"second slide", -4.5, 0, 128, 255},        {"second lower strip", -7.0, 255, 128, 0},
    };
    for (const Expectation& e : expectations) {
        for (double x : {-12.0, -6.0, 6.0, 12.0}) {  // both sides of the cursor window
            const ScreenPoint p = ProjectToClient(x, e.y, 23, W, H);
            const Rgb c = PixelAt(picture, W, static_cast<int>(p.x), static_cast<int>(p.y));
            EXPECT_TRUE(Near(c, e.r, e.g, e.b)) << e.strip << " at x " << x << ": " << Show(c);
        }
    }

    // Mipmapped and plain, as the filter letters say.
    GLint minFilter = 0;
    glBindTexture(GL_TEXTURE_2D, textureTable.names[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    glBindTexture(GL_TEXTURE_2D, textureTable.names[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 16);
    ResetProgramState();
}

class LoadingScreen : public ::testing::Test {
protected:
    void TearDown() override { ResetProgramState(); }

    // Makes the window in a directory with the given list and runs the
    // loading as start-up does, without the frames after it. With `spoil`,
    // every present keeps a copy and then spoils the back buffer.
    void Load(const std::string& list, const std::vector<DataFile>& images = {}, bool spoil = false) {
        std::vector<DataFile> files = images;
        files.push_back(TextFile("data/ts", list));
        ASSERT_TRUE(CreateProgramWindowIn(MakeDataDirectory(files), WIDTH, HEIGHT));
        HeadlessCapturePresented(spoil);
        HeadlessSpoilAfterPresent(spoil);
        CreateTextFont();
        LoadTextureList();
    }

    static int Column(double x) { return static_cast<int>((x + 0.12) / 0.24 * WIDTH); }
    static int Row(double y) { return static_cast<int>((0.1 - y) / 0.2 * HEIGHT); }

    // Lit pixels in the caption's place: from x 54 rightwards, around the
    // baseline 97 pixels above the bottom.
    static int CaptionInk(const std::vector<uint8_t>& picture) {
        int ink = 0;
        for (int row = HEIGHT - 1 - 108; row <= HEIGHT - 1 - 92; ++row) {
            for (int column = 50; column < 250; ++column) {
                const Rgb c = PixelAt(picture, WIDTH, column, row);
                if (c.r == 255 && c.g == 255 && c.b == 255) ++ink;
            }
        }
        return ink;
    }
};

TEST_F(LoadingScreen, EveryPresentedPictureIsCompleteEvenWhenSwapsSpoilTheBackBuffer) {
    const std::vector<uint8_t> white = MakeBandedTga(2, {{2, 255, 255, 255}}, 24);
    Load("3 a t m data/w.tga b t m data/w.tga c t m data/w.tga", {DataFile{"data/w.tga", white}}, true);
    EXPECT_EQ(HeadlessPresentCount(), 3);
    const std::vector<uint8_t> last = HeadlessLastPresented();
    ASSERT_EQ(last.size(), static_cast<size_t>(WIDTH * HEIGHT * 4));

    // Nothing of the spoiled buffer shows through.
    int spoiled = 0;
    for (int row = 0; row < HEIGHT; ++row) {
        for (int column = 0; column < WIDTH; ++column) {
            const Rgb c = PixelAt(last, WIDTH, column, row);
            if (c.r == HEADLESS_SPOIL_RGB[0] && c.g == HEADLESS_SPOIL_RGB[1] && c.b == HEADLESS_SPOIL_RGB[2]) ++spoiled;
        }
    }
    EXPECT_EQ(spoiled, 0);
    // The frame's ends, just outside the full bar, in the frame's red.
    const int barRow = Row(-0.075);
    EXPECT_TRUE(Near(PixelAt(last, WIDTH, Column(-0.1), barRow), 230, 0, 0))
        << Show(PixelAt(last, WIDTH, Column(-0.1), barRow));
    EXPECT_TRUE(Near(PixelAt(last, WIDTH, Column(0.1), barRow), 230, 0, 0))
        << Show(PixelAt(last, WIDTH, Column(0.1), barRow));
    // All three segments, green rising by a third each.
    for (int n = 1; n <= 3; ++n) {
        const Rgb c = PixelAt(last, WIDTH, Column(-0.1 + (n - 0.5) * 0.2 / 3), barRow);
        EXPECT_TRUE(Near(c, 230, (n - 1) * 85, 26)) << n << ": " << Show(c);
    }
    EXPECT_GT(CaptionInk(last), 40);
}

TEST_F(LoadingScreen, EmptyListDrawsFrameAndCaptionButPresentsNothing) {
    Load("0 a t m never.tga");
    EXPECT_EQ(HeadlessPresentCount(), 0);
    EXPECT_EQ(textureTable.names[0], 0u);
    const std::vector<uint8_t> back = HeadlessReadPixels();
    // The frame: its top and bottom edges and its ends, with nothing inside.
    const int middle = Column(0.0);
    int frameRows = 0;
    for (int row = Row(-0.065); row <= Row(-0.085); ++row) {
        if (Near(PixelAt(back, WIDTH, middle, row), 230, 0, 0)) ++frameRows;
    }
    EXPECT_EQ(frameRows, 2);
    EXPECT_TRUE(Near(PixelAt(back, WIDTH, Column(-0.1), Row(-0.075)), 230, 0, 0));
    EXPECT_TRUE(Near(PixelAt(back, WIDTH, Column(0.1), Row(-0.075)), 230, 0, 0));
    EXPECT_TRUE(Near(PixelAt(back, WIDTH, middle, Row(-0.075)), 0, 0, 0));
    EXPECT_GT(CaptionInk(back), 40);
}

TEST_F(LoadingScreen, EntriesWithoutAnImageStillGetANameAndTheirFilters) {
    const std::vector<uint8_t> white = MakeBandedTga(2, {{2, 255, 255, 255}}, 24);
    testing::internal::CaptureStderr();
    Load("4\n"
         "none ? n data/w.tga\n"           // no type yet: nothing is read
         "broken t m data/missing.tga\n"   // the reader fails
         "short t m data/short.tga\n"      // a file cut short
         "good ? ? data/w.tga\n",          // carries TGA and mipmapped
         {DataFile{"data/w.tga", white},
          DataFile{"data/short.tga", std::vector<uint8_t>(white.begin(), white.end() - 1)}});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("data/missing.tga is not an uncompressed 24- or 32-bit TGA image"), std::string::npos) << said;
    EXPECT_NE(said.find("data/short.tga"), std::string::npos) << said;
    EXPECT_EQ(HeadlessPresentCount(), 4);
    EXPECT_FLOAT_EQ(LoadProgress, 1.0f);

    const GLint expectedFilters[4] = {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR,
                                      GL_LINEAR_MIPMAP_LINEAR};
    const GLint expectedWidths[4] = {0, 0, 0, 2};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(textureTable.names[i], 0u) << i;
        glBindTexture(GL_TEXTURE_2D, textureTable.names[i]);
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, expectedFilters[i]) << i;
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, expectedWidths[i]) << i;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// --- Lists and images that end the program ---------------------------------

// Starts the program in a directory with these files; ends the process when
// start-up does.
void StartWith(const std::vector<DataFile>& files) {
    const std::string directory = MakeDataDirectory(files);
    if (StartProgramIn(directory, WIDTH, HEIGHT)) std::exit(0);
    std::exit(2);
}

class BrokenList : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(BrokenList, MissingListEndsWithAnErrorBoxAndStatusOne) {
    EXPECT_EXIT(StartWith({TextFile("elsewhere/ts", "2")}), testing::ExitedWithCode(1),
                "Error: Cannot open the texture list data/ts: No such file or directory");
}

TEST_F(BrokenList, ListThatIsADirectoryCannotBeRead) {
    EXPECT_EXIT(StartWith({TextFile("data/ts/inside", "2")}), testing::ExitedWithCode(1),
                "Error: Cannot read the texture list data/ts: Is a directory");
}

TEST_F(BrokenList, UnreadableCountEndsWithAnErrorBox) {
    EXPECT_EXIT(StartWith({TextFile("data/ts", "two\nruleA t m a.tga\nruleB t m b.tga\n")}),
                testing::ExitedWithCode(1),
                "Error: The texture list data/ts does not begin with the number of textures");
}

TEST_F(BrokenList, TruncatedListEndsWithAnErrorBox) {
    const std::vector<uint8_t> white = MakeBandedTga(2, {{2, 255, 255, 255}}, 24);
    EXPECT_EXIT(StartWith({TextFile("data/ts", "3\nruleA t m data/w.tga\nruleB t m"), DataFile{"data/w.tga", white}}),
                testing::ExitedWithCode(1),
                "Error: The texture list data/ts ends early: entry 2 of 3 has no image path");
}

TEST_F(BrokenList, OverlongWordAndTooManyEntriesEndWithAnErrorBox) {
    EXPECT_EXIT(StartWith({TextFile("data/ts", "1 label t m data/" + std::string(300, 'x') + ".tga")}),
                testing::ExitedWithCode(1), "Error: The texture list data/ts has a word of more than 251 characters");
    EXPECT_EXIT(StartWith({TextFile("data/ts", "5000000000")}), testing::ExitedWithCode(1),
                "Error: The texture list data/ts names 2147483647 textures; at most 21 can be loaded");
}

TEST_F(BrokenList, JpegThatCannotBeLoadedEndsWithStatusOne) {
    EXPECT_EXIT(StartWith({TextFile("data/ts", "2\nruleA j m data/missing.jpg\nruleB t m data/b.tga\n")}),
                testing::ExitedWithCode(1), "Error: Unable to load JPG texture");
}

}  // namespace
