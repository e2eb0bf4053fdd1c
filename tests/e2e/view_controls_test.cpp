// Frame order and the view controls: zoom, magnifier, pan, the end of the loop.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "app/frame_driver.h"
#include "interaction/pick_and_drag.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

class ViewControls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(WIDTH, HEIGHT)); }
    void TearDown() override { ResetProgramState(); }

    static const float* Reference() { return panelTable.panels[PANEL_UPPER_BODY_A].corner[0]; }

    // One pass after the clock has moved on.
    static bool PassAfter(uint32_t milliseconds) {
        HeadlessAdvanceTicks(milliseconds);
        return RunPass();
    }

    static void MoveCursorBy(int dx, int dy) {
        int32_t x = 0;
        int32_t y = 0;
        ReadCursorPosition(&x, &y);
        HeadlessSetCursor(x + dx, y + dy);
    }
};

TEST_F(ViewControls, UpArrowForOneSecondBringsTheRuleSixUnitsNearer) {
    HeadlessKey(VK_UP, true);
    for (int pass = 0; pass < 20; ++pass) PassAfter(50);
    EXPECT_NEAR(Reference()[2], 17.0f, 1e-4);
    // Every panel moved alike.
    EXPECT_NEAR(panelTable.panels[0].corner[2][2], 16.98f, 1e-4);
}

TEST_F(ViewControls, ZoomStopsWithinOneStepOfItsLimits) {
    HeadlessKey(VK_ADD, true);
    for (int pass = 0; pass < 40; ++pass) PassAfter(100);
    // The test comes before the move: z may end up to one step (0.6) past 6.
    EXPECT_LE(Reference()[2], 6.0f);
    EXPECT_GT(Reference()[2], 6.0f - 0.6f - 1e-4f);
    HeadlessKey(VK_ADD, false);

    HeadlessKey(VK_SUBTRACT, true);
    for (int pass = 0; pass < 60; ++pass) PassAfter(100);
    EXPECT_GE(Reference()[2], 25.0f);
    EXPECT_LT(Reference()[2], 25.0f + 0.6f + 1e-4f);
}

// A notch of the wheel moves the rules half a unit nearer or farther, the
// zoom keys' limits tested before each step.
TEST_F(ViewControls, WheelZoomsHalfAUnitANotchWithinTheZoomLimits) {
    HeadlessWheel(1);
    PassAfter(0);
    EXPECT_FLOAT_EQ(Reference()[2], 22.5f);
    HeadlessWheel(-3);
    PassAfter(1000);  // the clock plays no part
    EXPECT_FLOAT_EQ(Reference()[2], 24.0f);
    HeadlessWheel(-10);
    PassAfter(0);
    EXPECT_FLOAT_EQ(Reference()[2], 25.0f);
    HeadlessWheel(100);
    PassAfter(0);
    EXPECT_FLOAT_EQ(Reference()[2], 6.0f);
    EXPECT_NEAR(panelTable.panels[0].corner[0][2], 5.98f, 1e-5);
}

TEST_F(ViewControls, BothZoomKeysCancel) {
    const float before = Reference()[2];
    HeadlessKey(VK_UP, true);
    HeadlessKey(VK_DOWN, true);
    for (int pass = 0; pass < 5; ++pass) PassAfter(100);
    EXPECT_NEAR(Reference()[2], before, 1e-5);
}

TEST_F(ViewControls, ZoomFollowsTheClockNotThePassCount) {
    HeadlessKey(VK_UP, true);
    PassAfter(0);
    EXPECT_EQ(Reference()[2], 23.0f);
    PassAfter(250);
    EXPECT_NEAR(Reference()[2], 21.5f, 1e-5);
}

// A pause of the loop (a suspended machine, a stopped process) while a zoom
// key is held counts for a quarter of a second at most; the next pass is
// ordinary again.
TEST_F(ViewControls, APauseMovesAHeldZoomByNoMoreThanAQuarterSecond) {
    HeadlessKey(VK_UP, true);
    PassAfter(5000);
    EXPECT_NEAR(Reference()[2], 23.0f - 1.5f, 1e-5);
    PassAfter(100);
    EXPECT_NEAR(Reference()[2], 21.5f - 0.6f, 1e-5);
}

// Minimised, the client is 0 x 0: the size is stored, passes run without a
// GL error, and the rule comes back with the old size.
TEST_F(ViewControls, AMinimisedWindowDrawsNothingWrongAndTheRuleComesBack) {
    const std::vector<uint8_t> before = (RunPass(), HeadlessReadPixels());
    HeadlessResizeClient(0, 0);
    for (int pass = 0; pass < 3; ++pass) PassAfter(20);
    EXPECT_EQ(viewState.clientWidth, 0.0);
    EXPECT_EQ(viewState.clientHeight, 0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    HeadlessResizeClient(WIDTH, HEIGHT);
    RunPass();
    RunPass();
    EXPECT_EQ(HeadlessReadPixels(), before);
}

TEST_F(ViewControls, TickStampIsHeldInSinglePrecision) {
    HeadlessSetTicks((1u << 24) + 1u);  // rounds down to 2^24 as a float
    RunPass();
    EXPECT_EQ(frameClock.frameStamp, 16777216.0f);
    HeadlessAdvanceTicks(50);
    RunPass();
    EXPECT_FLOAT_EQ(frameClock.elapsedSeconds, 0.051f);
}

TEST_F(ViewControls, ShiftMagnifiesFromTheNextPassAndNeverCompounds) {
    // A point just beyond the second rule's right end, at the height of its
    // upper strip: black normally, inside the strip when magnified.
    const int x = static_cast<int>((0.97 + 1.0) * 0.5 * WIDTH);
    const int y = static_cast<int>((1.0 + 0.2) * 0.5 * HEIGHT);
    auto pixel = [&] { return PixelAt(HeadlessReadPixels(), WIDTH, x, y).r; };
    EXPECT_EQ(pixel(), 0);

    HeadlessKey(VK_LSHIFT, true);
    RunPass();
    EXPECT_EQ(pixel(), 0);  // drawn with the projection of the previous pass
    EXPECT_EQ(viewState.nearPlane, 0.0116f);
    EXPECT_EQ(viewState.pickDistance, 0.01392f);
    for (int pass = 0; pass < 4; ++pass) RunPass();
    EXPECT_EQ(pixel(), 255);
    EXPECT_EQ(viewState.nearPlane, 0.0116f);
    EXPECT_EQ(viewState.pickDistance, 0.01392f);

    HeadlessKey(VK_LSHIFT, false);
    RunPass();
    EXPECT_EQ(pixel(), 255);
    EXPECT_EQ(viewState.nearPlane, 0.0058f);
    EXPECT_EQ(viewState.pickDistance, 0.00696f);
    RunPass();
    EXPECT_EQ(pixel(), 0);
}

TEST_F(ViewControls, RightDragPansAndStopsPastTheLimit) {
    HeadlessMouseButton(HeadlessButton::Right, true);
    RunPass();
    MoveCursorBy(-10, 0);
    RunPass();
    EXPECT_NEAR(Reference()[0], -16.8f, 1e-5);
    EXPECT_NEAR(panelTable.panels[6].corner[2][0], 13.2f, 1e-5);  // every panel moves
    for (int pass = 0; pass < 10; ++pass) {
        MoveCursorBy(-10, 0);
        RunPass();
    }
    // -24.0 is inside the limit, so one more step of 1.8 was taken.
    EXPECT_NEAR(Reference()[0], -25.8f, 1e-4);
    MoveCursorBy(5, 0);
    RunPass();
    EXPECT_NEAR(Reference()[0], -24.9f, 1e-4);

    // Moving the mouse up raises the rule, until y passes 15.
    MoveCursorBy(0, -20);
    RunPass();
    EXPECT_NEAR(Reference()[1], 10.6f, 1e-4);
    for (int pass = 0; pass < 10; ++pass) {
        MoveCursorBy(0, -20);
        RunPass();
    }
    EXPECT_NEAR(Reference()[1], 17.8f, 1e-4);

    // Without the button, the cursor moves alone.
    HeadlessMouseButton(HeadlessButton::Right, false);
    const PanelTable before = panelTable;
    MoveCursorBy(30, 30);
    RunPass();
    EXPECT_EQ(std::memcmp(&before, &panelTable, sizeof before), 0);
}

TEST_F(ViewControls, LeftButtonFramesPickingWithoutDisturbingTheScene) {
    const PanelTable before = panelTable;
    HeadlessMouseButton(HeadlessButton::Left, true);
    for (int pass = 0; pass < 3; ++pass) RunPass();
    EXPECT_EQ(std::memcmp(&before, &panelTable, sizeof before), 0);
    grabActive = 1;
    HeadlessMouseButton(HeadlessButton::Left, false);
    RunPass();
    EXPECT_EQ(grabActive, 0);
}

TEST_F(ViewControls, WindowSizeChangesTheViewport) {
    HeadlessResizeClient(200, 100);
    RunPass();
    EXPECT_EQ(viewState.clientWidth, 200.0);
    EXPECT_EQ(viewState.clientHeight, 100.0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    // The picture is stretched to the new client area.
    const ScreenPoint strip = ProjectToClient(-10, 8, 23, 200, 100);
    EXPECT_EQ(PixelAt(HeadlessReadPixels(), 200, static_cast<int>(strip.x), static_cast<int>(strip.y)).r, 255);

    // A minimised window stores 0 by 0 and draws nothing, without failing.
    HeadlessResizeClient(0, 0);
    EXPECT_TRUE(RunPass());
    EXPECT_EQ(viewState.clientHeight, 0.0);
}

TEST_F(ViewControls, EscapeEndsTheLoopAfterTheCurrentPass) {
    const int presents = HeadlessPresentCount();
    HeadlessKey(VK_ESCAPE, true);
    EXPECT_FALSE(RunPass());
    EXPECT_EQ(HeadlessPresentCount(), presents + 1);
    EXPECT_FALSE(RunPass());
    EXPECT_EQ(HeadlessPresentCount(), presents + 1);
}

TEST_F(ViewControls, OtherKeysHaveNoEffectOnTheLoop) {
    HeadlessKey(VK_A, true);
    HeadlessKey(VK_A, false);
    HeadlessKey(VK_ESCAPE, false);
    EXPECT_TRUE(RunPass());
    EXPECT_EQ(inputState.quitRequested, 0);
}

TEST_F(ViewControls, ClosingTheWindowEndsTheLoopInTheDrain) {
    const int presents = HeadlessPresentCount();
    HeadlessClose();
    EXPECT_FALSE(RunPass());
    EXPECT_EQ(HeadlessPresentCount(), presents);
    EXPECT_EQ(appWindow.glContext, nullptr);
    EXPECT_FALSE(PlatformIsWindow(appWindow.window));
}

TEST(ViewControlsBeforeStartup, EscapeInTheFirstDrainStillRunsStartupAndOneFrame) {
    ASSERT_TRUE(CreateProgramWindow(WIDTH, HEIGHT));
    HeadlessKey(VK_ESCAPE, true);
    EXPECT_FALSE(RunPass());
    EXPECT_EQ(inputState.startupDone, 1);
    EXPECT_EQ(panelTable.panelCount, 8);
    // The two pictures of the loading screen, then one frame.
    EXPECT_EQ(HeadlessPresentCount(), 3);
    ResetProgramState();
}

}  // namespace

// Where the platform asks for it (the browser's), the picture keeps its
// proportions on a client held upright, and the text grows with the
// display's density; the desktop's keeps both as they were.
namespace {

// The bounding box of every lit pixel, as width over height.
double LitProportions(int width, int height) {
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = PixelAt(picture, width, x, y);
            if (pixel.r + pixel.g + pixel.b < 60) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right > left && bottom > top ? static_cast<double>(right - left + 1) / (bottom - top + 1) : 0.0;
}

// How tall the first letter of the readout's upper line is, in rows: a
// capital ("No readout: ..." without a scale map).
int ReadoutCapitalRows(int width, int height) {
    HeadlessKey(VK_A + ('R' - 'A'), true);
    HeadlessKey(VK_A + ('R' - 'A'), false);
    RunPass();
    RunPass();
    const std::vector<uint8_t> picture = HeadlessReadPixels();
    const int top = static_cast<int>(0.04 * height);
    const int bottom = top + height / 10;
    // Text is dark on the light panel: right of the panel's left edge.
    const auto isText = [&](int x, int y) {
        const Rgb pixel = PixelAt(picture, width, x, y);
        if (pixel.r >= 96 || pixel.g >= 96 || pixel.b >= 96) return false;
        for (int left = 0; left < x; ++left) {
            if (PixelAt(picture, width, left, y).r == 237) return true;
        }
        return false;
    };
    // The letter's first column, then a few columns of it.
    int firstColumn = -1;
    for (int x = 3; x < width / 4 && firstColumn < 0; ++x) {
        for (int y = top; y < bottom && firstColumn < 0; ++y) {
            if (isText(x, y)) firstColumn = x;
        }
    }
    int first = -1, last = -1;
    for (int y = top; y < bottom && firstColumn >= 0; ++y) {
        for (int x = firstColumn; x < firstColumn + 3; ++x) {
            if (!isText(x, y)) continue;
            if (first < 0) first = y;
            last = y;
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

}  // namespace

TEST(Display, AnUprightClientKeepsTheRulesProportionsWhereAsked) {
    // The view's own proportions (0.004 : 0.0033) as the reference.
    ASSERT_TRUE(StartProgram(606, 500));
    RunPass();
    const double made = LitProportions(606, 500);
    struct Case {
        int width, height;
        bool keeps;
        double expected;  // as a share of `made`
    };
    const Case cases[] = {{390, 844, true, 1.0}, {390, 844, false, (390.0 / 844.0) / (606.0 / 500.0)},
                          {844, 390, true, (844.0 / 390.0) / (606.0 / 500.0)}};
    for (const Case& c : cases) {
        HeadlessSetDisplay(1.0, c.keeps);
        ASSERT_TRUE(StartProgram(c.width, c.height));
        RunPass();
        EXPECT_NEAR(LitProportions(c.width, c.height) / made, c.expected, 0.03 * c.expected)
            << c.width << " x " << c.height << (c.keeps ? " kept" : " filled");
    }
    HeadlessSetDisplay(1.0, false);
    ResetProgramState();
}

TEST(Display, TextGrowsWithTheDisplaysTextScale) {
    const double scales[] = {1.0, 14.0 / 12.0 * 3.0};
    int rows[2] = {};
    for (int k = 0; k < 2; ++k) {
        HeadlessSetDisplay(scales[k], false);
        ASSERT_TRUE(StartProgram(1170, 900));
        rows[k] = ReadoutCapitalRows(1170, 900);
    }
    HeadlessSetDisplay(1.0, false);
    ResetProgramState();
    // Capitals and digits of bold Arial 12 on the desktop; at a phone's
    // density of 3, as tall as the page's 12-pixel text there, 26 and more.
    EXPECT_GE(rows[0], 7) << rows[1];
    EXPECT_LE(rows[0], 10) << rows[1];
    EXPECT_GE(rows[1], 26) << rows[0];
}
