// Working the rule with the left button: whole passes of the main loop,
// scripted input, the picture read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/app_window.h"
#include "interaction/pick_and_drag.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

bool IsWhite(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }

// The first pure white pixel of a row at or right of fromX; -1 if none. On a
// row through a slide this is the slide's left end: the cursor window's
// outline crossing the row is grey.
int FirstWhiteInRow(const std::vector<uint8_t>& picture, int width, int y, int fromX = 0) {
    for (int x = fromX; x < width; ++x) {
        if (IsWhite(PixelAt(picture, width, x, y))) return x;
    }
    return -1;
}

// Where a point of a panel lies for picking, in client pixels: the given
// fractions of the way from its left end to its right end and from its
// bottom edge to its top edge.
struct ClientPoint {
    int x, y;
};
ClientPoint PointOnPanel(int panel, double across, double up) {
    ScreenCorner corners[4];
    if (!ProjectPanelCorners(panelTable.panels[panel], corners)) return ClientPoint{-1, -1};
    const double x = corners[0].sx + across * (corners[3].sx - corners[0].sx);
    const double y = corners[0].sy + up * (corners[1].sy - corners[0].sy);
    return ClientPoint{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

class Dragging : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(WIDTH, HEIGHT)); }
    void TearDown() override { ResetProgramState(); }

    // Puts the cursor at a client pixel and runs a pass, so that the pass's
    // closing cursor reading holds it.
    static void MoveTo(int x, int y) {
        HeadlessSetCursor(HeadlessClientOriginX() + x, HeadlessClientOriginY() + y);
        RunPass();
    }
    static void Press() {
        HeadlessMouseButton(HeadlessButton::Left, true);
        RunPass();
    }
    static void Release() {
        HeadlessMouseButton(HeadlessButton::Left, false);
        RunPass();
    }
    // The picture of a pass shows the state the previous pass left: one more
    // pass brings it up to date.
    static std::vector<uint8_t> CurrentPicture() {
        RunPass();
        return HeadlessReadPixels();
    }
    static bool SameBits(const PanelTable& before, int first, int last) {
        return std::memcmp(&before.panels[first], &panelTable.panels[first],
                           sizeof(Panel) * static_cast<size_t>(last - first + 1)) == 0;
    }
};

TEST_F(Dragging, SlideFollowsTheMouseByTheProjectedNumberOfPixels) {
    const ClientPoint start = PointOnPanel(PANEL_SLIDE_A, 0.25, 0.5);
    const int slideRow = start.y;
    const int secondSlideRow = PointOnPanel(PANEL_SLIDE_B, 0.25, 0.5).y;
    std::vector<uint8_t> picture = CurrentPicture();
    const int leftEndBefore = FirstWhiteInRow(picture, WIDTH, slideRow);
    const int secondLeftEndBefore = FirstWhiteInRow(picture, WIDTH, secondSlideRow);
    const float slideXBefore = panelTable.panels[PANEL_SLIDE_A].corner[0][0];
    const PanelTable before = panelTable;

    MoveTo(start.x, start.y);
    HeadlessKey(VK_0 + 9, true);
    Press();
    EXPECT_EQ(grabActive, 1);
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_A);
    EXPECT_EQ(dragSensitivity, 0.01f);
    // 100 pixels to the right in five steps; the vertical wobble counts for nothing.
    for (int step = 1; step <= 5; ++step) MoveTo(start.x + 20 * step, start.y + (step % 2 == 0 ? 6 : -4));
    Release();
    HeadlessKey(VK_0 + 9, false);
    EXPECT_EQ(grabActive, 0);

    // 100 pixels at depth 23 and sensitivity 0.01: 100 x 21 x 0.01 = 21 units.
    const double movedUnits = 100 * (23.0 - 2.0) * 0.01;
    EXPECT_NEAR(panelTable.panels[PANEL_SLIDE_A].corner[0][0], slideXBefore + movedUnits, 1e-4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(panelTable.panels[PANEL_SLIDE_A].corner[k][1], before.panels[PANEL_SLIDE_A].corner[k][1]);
    }
    EXPECT_TRUE(SameBits(before, PANEL_CURSOR_A, PANEL_UPPER_BODY_A));
    EXPECT_TRUE(SameBits(before, PANEL_LOWER_BODY_A, PANEL_LOWER_BODY_B));

    picture = CurrentPicture();
    const int leftEndAfter = FirstWhiteInRow(picture, WIDTH, slideRow);
    const double predicted = ProjectToClient(slideXBefore + movedUnits, 5.5, 23, WIDTH, HEIGHT).x -
                             ProjectToClient(slideXBefore, 5.5, 23, WIDTH, HEIGHT).x;
    const int measured = leftEndAfter - leftEndBefore;
    std::printf("slide left end: %d -> %d, moved %d px, predicted %.2f px\n", leftEndBefore, leftEndAfter, measured,
                predicted);
    EXPECT_NEAR(measured, predicted, 1.0);
    // The second rule's slide stayed where it was on screen.
    EXPECT_EQ(FirstWhiteInRow(picture, WIDTH, secondSlideRow), secondLeftEndBefore);
    // The setting stays for the next drag.
    EXPECT_EQ(dragSensitivity, 0.01f);
}

// The left and right arrows move the part last dragged as one pixel of the
// mouse moves it, a step a press or a held key's repeat, within the rule's
// ends; before any drag they move nothing.
TEST_F(Dragging, ArrowsMoveThePartLastDraggedAPixelsWorthAPressWithinTheEnds) {
    const PanelTable before = panelTable;
    HeadlessKey(VK_RIGHT, true);
    HeadlessKey(VK_RIGHT, false);
    RunPass();
    EXPECT_TRUE(SameBits(before, PANEL_CURSOR_A, PANEL_LOWER_BODY_B));

    const ClientPoint start = PointOnPanel(PANEL_SLIDE_A, 0.25, 0.5);
    MoveTo(start.x, start.y);
    Press();
    MoveTo(start.x + 10, start.y);
    Release();
    const float x = panelTable.panels[PANEL_SLIDE_A].corner[0][0];
    // Held: a press and two repeats, three steps of 21 x 0.0002 = 0.0042.
    for (int k = 0; k < 3; ++k) HeadlessKey(VK_RIGHT, true);
    HeadlessKey(VK_RIGHT, false);
    HeadlessKey(VK_LEFT, true);
    HeadlessKey(VK_LEFT, false);
    RunPass();
    EXPECT_NEAR(panelTable.panels[PANEL_SLIDE_A].corner[0][0], x + 2 * 21 * 0.0002, 1e-5);
    EXPECT_TRUE(SameBits(before, PANEL_CURSOR_B, PANEL_LOWER_BODY_B));

    // Pushed far right at the fastest digit, it stops with its left end on
    // the body's right end, as a drag does.
    HeadlessKey(VK_0 + 9, true);
    Press();
    Release();
    HeadlessKey(VK_0 + 9, false);
    for (int k = 0; k < 200; ++k) {
        HeadlessKey(VK_RIGHT, true);
        HeadlessKey(VK_RIGHT, false);
    }
    RunPass();
    EXPECT_EQ(panelTable.panels[PANEL_SLIDE_A].corner[0][0], 15.0f);
}

// The hand keeps moving while frames run: the drag's reading and the frame's
// closing reading of one pass would see different positions if motion that
// arrives during a pass were taken by the second. None of it may be lost.
TEST_F(Dragging, MotionThatArrivesDuringAPassIsDraggedByTheNextOneWhole) {
    const ClientPoint start = PointOnPanel(PANEL_SLIDE_A, 0.25, 0.5);
    const int row = start.y;
    const int leftEndBefore = FirstWhiteInRow(CurrentPicture(), WIDTH, row);
    const float slideXBefore = panelTable.panels[PANEL_SLIDE_A].corner[0][0];
    MoveTo(start.x, start.y);
    HeadlessKey(VK_0 + 9, true);
    Press();
    ASSERT_EQ(grabbedPanel, PANEL_SLIDE_A);
    ASSERT_EQ(dragSensitivity, 0.01f);

    const int32_t pressedAt = HeadlessClientOriginX() + start.x;
    HeadlessMoveCursorAtEveryRead(1, 0);
    for (int pass = 0; pass < 20; ++pass) RunPass();
    HeadlessMoveCursorAtEveryRead(0, 0);
    RunPass();  // takes up what the last pass's reads moved
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    ASSERT_TRUE(PlatformGetCursorPos(&cursorX, &cursorY));
    Release();
    HeadlessKey(VK_0 + 9, false);

    const int motion = cursorX - pressedAt;
    ASSERT_GE(motion, 40);  // two reads a pass, at least
    const double movedUnits = motion * (23.0 - 2.0) * 0.01;
    EXPECT_NEAR(panelTable.panels[PANEL_SLIDE_A].corner[0][0], slideXBefore + movedUnits, 1e-4);
    const double predicted = ProjectToClient(slideXBefore + movedUnits, 5.5, 23, WIDTH, HEIGHT).x -
                             ProjectToClient(slideXBefore, 5.5, 23, WIDTH, HEIGHT).x;
    EXPECT_NEAR(FirstWhiteInRow(CurrentPicture(), WIDTH, row) - leftEndBefore, predicted, 1.0);
}

TEST_F(Dragging, PressInsideTheCursorWindowMovesItNotTheSlide) {
    // The middle of the cursor window lies over the first slide.
    const ClientPoint middle = PointOnPanel(PANEL_SLIDE_A, 0.5, 0.5);
    const PanelTable before = panelTable;
    MoveTo(middle.x, middle.y);
    Press();
    EXPECT_EQ(grabbedPanel, PANEL_CURSOR_A);
    MoveTo(middle.x + 10, middle.y);
    Release();
    // 10 pixels at depth 22.98 and the default sensitivity 0.0002.
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(panelTable.panels[PANEL_CURSOR_A].corner[k][0] - before.panels[PANEL_CURSOR_A].corner[k][0],
                    0.04196, 1e-5);
    }
    EXPECT_TRUE(SameBits(before, PANEL_UPPER_BODY_A, PANEL_LOWER_BODY_B));
}

TEST_F(Dragging, GrabIsHeldUntilTheButtonIsReleased) {
    const ClientPoint slide = PointOnPanel(PANEL_SLIDE_A, 0.25, 0.5);
    MoveTo(slide.x, slide.y);
    Press();
    ASSERT_EQ(grabbedPanel, PANEL_SLIDE_A);
    // Off every panel, below both rules: still held, and still dragging.
    const float xBefore = panelTable.panels[PANEL_SLIDE_A].corner[0][0];
    MoveTo(slide.x + 5, HEIGHT - 5);
    EXPECT_EQ(grabActive, 1);
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_A);
    EXPECT_NEAR(panelTable.panels[PANEL_SLIDE_A].corner[0][0], xBefore + 5 * 0.0042, 1e-5);
    Release();
    EXPECT_EQ(grabActive, 0);
}

TEST_F(Dragging, AGrabbedBodyStripHoldsEverythingStill) {
    const PanelTable before = panelTable;
    const ClientPoint strip = PointOnPanel(PANEL_UPPER_BODY_A, 0.2, 0.5);
    MoveTo(strip.x, strip.y);
    Press();
    EXPECT_EQ(grabbedPanel, PANEL_UPPER_BODY_A);
    // Onto the slide and along it with the button still down: nothing moves.
    const ClientPoint slide = PointOnPanel(PANEL_SLIDE_A, 0.2, 0.5);
    MoveTo(slide.x, slide.y);
    MoveTo(slide.x + 40, slide.y);
    EXPECT_EQ(grabbedPanel, PANEL_UPPER_BODY_A);
    EXPECT_TRUE(SameBits(before, 0, 7));
    Release();
    // Pressed again over the slide, it is the slide that is taken.
    Press();
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_A);
    MoveTo(slide.x + 50, slide.y);
    EXPECT_GT(panelTable.panels[PANEL_SLIDE_A].corner[0][0], before.panels[PANEL_SLIDE_A].corner[0][0]);
}

TEST_F(Dragging, PressOverNothingGrabsThePanelTheMouseMovesOnto) {
    const ClientPoint slide = PointOnPanel(PANEL_SLIDE_B, 0.25, 0.5);
    MoveTo(slide.x, HEIGHT / 2);  // between the two rules
    Press();
    EXPECT_EQ(grabActive, 0);
    MoveTo(slide.x, slide.y);
    RunPass();
    EXPECT_EQ(grabActive, 1);
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_B);
}

// The mouse point counts from the client area's top-left corner. A fixed
// 25-pixel caption allowance would pick 15 pixels too high here, on the upper
// body strip.
TEST_F(Dragging, MousePointCountsFromTheClientAreaOfAFramelessWindow) {
    ASSERT_EQ(HeadlessClientOriginY(), 0);
    ScreenCorner slide[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_SLIDE_A], slide));
    ASSERT_EQ(FindPanelAt(100.0f, slide[1].sy + 10.0f - 25.0f), PANEL_UPPER_BODY_A);
    MoveTo(100, static_cast<int>(std::lround(slide[1].sy + 10.0f)));
    Press();
    EXPECT_EQ(grabActive, 1);
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_A);
}

// A window whose frame has a 30-pixel caption and 4-pixel borders: the window
// rectangle plus 25 would land 5 pixels too low and 4 too far right, on the
// lower body strip.
TEST(DraggingInAFramedWindow, MousePointCountsFromTheClientAreaNotTheWindowRectangle) {
    ResetProgramState();
    HeadlessSetScreenSize(WIDTH, HEIGHT);
    HeadlessSetFrame(4, 30, 4, 4);
    ASSERT_TRUE(CreateMainWindow());
    ASSERT_TRUE(RunPass());
    ASSERT_EQ(HeadlessClientOriginX(), 4);
    ASSERT_EQ(HeadlessClientOriginY(), 30);
    ASSERT_EQ(viewState.clientHeight, HEIGHT - 34);

    ScreenCorner slide[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_SLIDE_A], slide));
    const int x = 100;
    const int y = static_cast<int>(std::floor(slide[0].sy)) - 3;  // 3 pixels above the slide's bottom edge
    ASSERT_EQ(FindPanelAt(x + 4.0f, y + 5.0f), PANEL_LOWER_BODY_A);
    HeadlessSetCursor(4 + x, 30 + y);
    RunPass();
    HeadlessMouseButton(HeadlessButton::Left, true);
    RunPass();
    EXPECT_EQ(grabActive, 1);
    EXPECT_EQ(grabbedPanel, PANEL_SLIDE_A);

    // And the drag runs as in any window.
    const float xBefore = panelTable.panels[PANEL_SLIDE_A].corner[0][0];
    HeadlessSetCursor(4 + x + 10, 30 + y);
    RunPass();
    EXPECT_NEAR(panelTable.panels[PANEL_SLIDE_A].corner[0][0], xBefore + 10 * 0.0042, 1e-5);
    ResetProgramState();
}

}  // namespace
