// Start-up and the picture of the scene, on the headless backend.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/app_window.h"
#include "app/startup_timing.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

class Startup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(WIDTH, HEIGHT)); }
    void TearDown() override { ResetProgramState(); }

    static Rgb Pixel(double x, double y) {
        return PixelAt(HeadlessReadPixels(), WIDTH, static_cast<int>(x), static_cast<int>(y));
    }
};

bool IsWhite(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }
bool IsBlack(Rgb c) { return c.r == 0 && c.g == 0 && c.b == 0; }

TEST_F(Startup, PlacesTheScene) {
    EXPECT_EQ(panelTable.panelCount, 8);
    EXPECT_EQ(panelTable.panels[1].corner[0][0], -15.0f);
    EXPECT_EQ(panelTable.panels[1].corner[0][1], 7.0f);
    EXPECT_EQ(panelTable.panels[1].corner[0][2], 23.0f);
    EXPECT_EQ(viewState.clientWidth, WIDTH);
    EXPECT_EQ(viewState.clientHeight, HEIGHT);
    EXPECT_EQ(inputState.startupDone, 1);
    // One loading picture per texture of the list, then the first frame.
    EXPECT_EQ(HeadlessPresentCount(), 3);
}

TEST_F(Startup, UpperStripCoversItsProjectedRectangle) {
    // Panel 1 after start-up: x from -15 to 15, y from 7 to 9, depth 23.
    const ScreenPoint topLeft = ProjectToClient(-15, 9, 23, WIDTH, HEIGHT);
    const ScreenPoint bottomRight = ProjectToClient(15, 7, 23, WIDTH, HEIGHT);
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    auto at = [&](double x, double y) { return PixelAt(picture, WIDTH, static_cast<int>(x), static_cast<int>(y)); };

    const double midY = (topLeft.y + bottomRight.y) / 2;
    // Inside, away from the cursor window in the middle.
    EXPECT_TRUE(IsWhite(at(topLeft.x + 2, midY)));
    EXPECT_TRUE(IsWhite(at(bottomRight.x - 2, midY)));
    EXPECT_TRUE(IsWhite(at(WIDTH * 0.25, topLeft.y + 1.5)));
    EXPECT_TRUE(IsWhite(at(WIDTH * 0.75, bottomRight.y - 1.5)));
    // Outside: beyond both ends and above the top edge.
    EXPECT_TRUE(IsBlack(at(topLeft.x - 2, midY)));
    EXPECT_TRUE(IsBlack(at(bottomRight.x + 2, midY)));
    EXPECT_TRUE(IsBlack(at(WIDTH * 0.25, topLeft.y - 2)));
}

TEST_F(Startup, CursorWindowIsABevelledOutlineWithAHairline) {
    // Panel 0: x from -1.4 to 1.4, y from 2 to 9, depth 22.98.
    const float z = panelTable.panels[0].corner[0][2];
    const ScreenPoint topLeft = ProjectToClient(-1.4, 9, z, WIDTH, HEIGHT);
    const ScreenPoint bottomRight = ProjectToClient(1.4, 2, z, WIDTH, HEIGHT);
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    auto at = [&](double x, double y) { return PixelAt(picture, WIDTH, static_cast<int>(x), static_cast<int>(y)); };
    const double midY = (topLeft.y + bottomRight.y) / 2;
    const double quarterX = topLeft.x + (bottomRight.x - topLeft.x) / 4;

    // Dark sides, light top and bottom, over the white strips or the black gap.
    const Rgb left = at(topLeft.x, midY);
    EXPECT_EQ(left.r, 51);
    const Rgb right = at(bottomRight.x, midY);
    EXPECT_EQ(right.r, 51);
    EXPECT_EQ(at(quarterX, topLeft.y).r, 204);
    EXPECT_EQ(at(quarterX, bottomRight.y).r, 204);
    // The one-pixel hairline through the middle lies on the boundary between
    // the two middle columns; either may take it.
    EXPECT_EQ(std::min(at(WIDTH / 2.0 - 1, midY).r, at(WIDTH / 2.0, midY).r), 51);
    EXPECT_EQ(std::max(at(WIDTH / 2.0 - 1, midY).r, at(WIDTH / 2.0, midY).r), 255);
    // The strip shows through the window.
    EXPECT_TRUE(IsWhite(at(quarterX, ProjectToClient(0, 8, 23, WIDTH, HEIGHT).y)));
}

TEST_F(Startup, SecondRuleIsDrawnBelowTheFirst) {
    // Panel 7, the second set's lower strip: y from -8 to -6.
    const ScreenPoint p = ProjectToClient(-10, -7, 23, WIDTH, HEIGHT);
    EXPECT_TRUE(IsWhite(Pixel(p.x, p.y)));
    const ScreenPoint below = ProjectToClient(-10, -8.4, 23, WIDTH, HEIGHT);
    EXPECT_TRUE(IsBlack(Pixel(below.x, below.y)));
}

TEST_F(Startup, RendererLeavesItsStateForTheNextFrame) {
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint cullMode = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    EXPECT_EQ(cullMode, GL_FRONT);
    GLfloat lineWidth = 0;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.0f);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    GLfloat texCoord[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ(texCoord[0], panelTable.panels[7].texCoord[3][0]);
    EXPECT_EQ(texCoord[1], panelTable.panels[7].texCoord[3][1]);
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[0], 1.0);
    EXPECT_EQ(modelview[12], 0.0);
}

TEST_F(Startup, StripWhoseCornersRunCounterClockwiseIsCulled) {
    const ScreenPoint p = ProjectToClient(-10, 5.5, 23, WIDTH, HEIGHT);  // on the first slide
    EXPECT_TRUE(IsWhite(Pixel(p.x, p.y)));
    auto& corners = panelTable.panels[2].corner;
    std::swap(corners[1], corners[3]);  // mirrored order
    RunPass();
    EXPECT_TRUE(IsBlack(Pixel(p.x, p.y)));
}

TEST(StartupTiming, OneLineAfterTheFirstFrameOnlyWhenAskedFor) {
    auto stderrOfTwoPasses = [](const char* variable) {
        if (variable != nullptr) setenv(STARTUP_TIMING_VARIABLE, variable, 1);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(StartProgram(WIDTH, HEIGHT));
        RunPass();
        unsetenv(STARTUP_TIMING_VARIABLE);
        ResetProgramState();
        return testing::internal::GetCapturedStderr();
    };
    const std::string asked = stderrOfTwoPasses("1");
    double wallClock = 0.0;
    double milliseconds = -1.0;
    double processor = -1.0;
    ASSERT_EQ(std::sscanf(asked.c_str(),
                          "Vernaskel timing: first scene frame presented at %lf s, %lf ms after the program began, "
                          "%lf ms of processor time",
                          &wallClock, &milliseconds, &processor), 3) << asked;
    EXPECT_GT(wallClock, 1.5e9);  // Unix time, after 2017
    EXPECT_GT(milliseconds, 0.0);
    EXPECT_GT(processor, 0.0);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), '\n'), 1) << asked;
    EXPECT_EQ(stderrOfTwoPasses(nullptr), "");
    EXPECT_EQ(stderrOfTwoPasses("0"), "");
}

TEST(StartupFailure, NoGlContextEndsWithStatusOneAndAMessage) {
    ResetProgramState();
    HeadlessFailNext(HeadlessFailure::GlContext);
    EXPECT_EQ(WinMain(), 1);
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0].caption, "Error");
    EXPECT_NE(HeadlessMessageBoxes()[0].text.find("OpenGL context"), std::string::npos);
    EXPECT_EQ(appWindow.window, nullptr);
    EXPECT_EQ(inputState.startupDone, 0);

    ResetProgramState();
    HeadlessFailNext(HeadlessFailure::Window);
    EXPECT_EQ(WinMain(), 1);
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_NE(HeadlessMessageBoxes()[0].text.find("window"), std::string::npos);
    ResetProgramState();
}

}  // namespace
