#include "render/bitmap_font.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/font_bitmaps.h"
#include "platform/platform.h"
#include "render/view.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

// The bounding box of the lit pixels, in window pixels counted from the
// bottom-left corner as raster positions are.
struct Ink {
    int count = 0;
    int left = WIDTH, right = -1, bottom = HEIGHT, top = -1;
};

class BitmapText : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateProgramWindow(WIDTH, HEIGHT));
        bitmapFont.cellHeight = 12.0f;
        bitmapFont.listBase = CreateBitmapFont("Arial", 12);
        ASSERT_NE(bitmapFont.listBase, 0u);
    }
    void TearDown() override { ResetProgramState(); }

    // Prints the text alone on black and returns the picture.
    static std::vector<uint8_t> Printed(const std::string& text, int x = 45, int y = HEIGHT - 100) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        PrintText(x, y, 140.0f, 140.0f, 140.0f, "%s", text.c_str());
        return HeadlessReadPixels();
    }

    static Ink InkOf(const std::vector<uint8_t>& picture) {
        Ink ink;
        for (int row = 0; row < HEIGHT; ++row) {
            for (int column = 0; column < WIDTH; ++column) {
                const Rgb c = PixelAt(picture, WIDTH, column, row);
                if (c.r == 0 && c.g == 0 && c.b == 0) continue;
                EXPECT_TRUE(c.r == 255 && c.g == 255 && c.b == 255) << "glyphs are drawn in white only";
                const int y = HEIGHT - 1 - row;
                ++ink.count;
                ink.left = std::min(ink.left, column);
                ink.right = std::max(ink.right, column);
                ink.bottom = std::min(ink.bottom, y);
                ink.top = std::max(ink.top, y);
            }
        }
        return ink;
    }

    static float RasterX() {
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    }
};

TEST_F(BitmapText, CaptionGlyphsStandOnTheBaselineAtTheRasterPosition) {
    // The raster position is (54, 97); "L" starts there, "g" descends below.
    const Ink caption = InkOf(Printed("L o a d i n g . . ."));
    EXPECT_GT(caption.count, 40);
    EXPECT_GE(caption.left, 54);
    EXPECT_LE(caption.left, 56);
    EXPECT_GE(caption.bottom, 97 - 4);
    EXPECT_LE(caption.top, 97 + 10);
    EXPECT_GT(caption.right, 54 + 60);  // nineteen characters advance the position
    // Without the descender of "g", the ink sits on the baseline row 97.
    const Ink word = InkOf(Printed("L o a d i n"));
    EXPECT_EQ(word.bottom, 97);
    EXPECT_GE(word.top, 97 + 7);  // cap height of a 12-pixel cell
}

TEST_F(BitmapText, Byte255DrawsNothingAndDoesNotMoveWhatFollows) {
    EXPECT_EQ(InkOf(Printed("\xff")).count, 0);
    const std::vector<uint8_t> plain = Printed("AB");
    EXPECT_EQ(Printed("A\xff" "B"), plain);
    EXPECT_EQ(Printed("\xff\xff" "AB"), plain);
}

TEST_F(BitmapText, HighCodesUseCodePage1252) {
    EXPECT_EQ(CodePage1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(CodePage1252ToUnicode(0x80), 0x20ACu);  // euro sign
    EXPECT_EQ(CodePage1252ToUnicode(0x9F), 0x0178u);  // Y with diaeresis
    EXPECT_EQ(CodePage1252ToUnicode(0x81), 0u);       // undefined
    EXPECT_EQ(CodePage1252ToUnicode(0xE9), 0xE9u);
    // The euro sign and e-acute have glyphs of their own.
    const std::vector<uint8_t> euro = Printed("\x80");
    EXPECT_GT(InkOf(euro).count, 5);
    EXPECT_NE(euro, Printed("\x81"));
    EXPECT_NE(Printed("\xe9"), Printed("e"));
}

TEST_F(BitmapText, LongTextIsCutAt255Characters) {
    Printed(std::string(255, 'i'));
    const float after255 = RasterX();
    Printed(std::string(254, 'i'));
    EXPECT_LT(RasterX(), after255);
    Printed(std::string(400, 'i'));
    EXPECT_EQ(RasterX(), after255);
}

TEST_F(BitmapText, NullFormatChangesNothingAndPrintingKeepsTheView) {
    glColor3f(0.25f, 0.5f, 0.75f);
    glRasterPos2f(0.0f, 0.0f);
    GLfloat before[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
    PrintText(10, 10, 1.0f, 1.0f, 1.0f, nullptr);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[2], 0.75f);
    EXPECT_EQ(RasterX(), before[0]);

    glViewport(3, 4, 100, 50);
    glMatrixMode(GL_PROJECTION);
    PrintText(10, 10, 1.0f, 1.0f, 1.0f, "%d", 42);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[3], 50);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    GLint listBase = -1;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 0);
}

TEST_F(BitmapText, SaysWhichFaceStandsInForAMissingFamily) {
    EXPECT_TRUE(IsFontFamilyFor("Arial", "Liberation Sans"));
    EXPECT_TRUE(IsFontFamilyFor("arial", "ARIAL"));
    EXPECT_FALSE(IsFontFamilyFor("Arial", "DejaVu Sans"));

    const GLuint base = glGenLists(256);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(PlatformUseFontBitmaps("Vernaskel No Such Family", 12, true, 0, GLYPH_COUNT, base));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"Vernaskel No Such Family\" is not installed; text uses"), std::string::npos) << said;
    // The face that stands in still draws glyphs.
    bitmapFont.listBase = base;
    EXPECT_GT(InkOf(Printed("W")).count, 5);

    testing::internal::CaptureStderr();
    EXPECT_TRUE(PlatformUseFontBitmaps("Arial", 12, true, 0, GLYPH_COUNT, base));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
