// Dragging: sensitivity keys, the motion per pixel and the limits.
#include <gtest/gtest.h>

#include <cstring>

#include "interaction/dragging.h"
#include "platform/platform.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

// The scene as start-up leaves it: both rules from x -15 to 15, the strips
// at depth 23, the cursor windows at 22.98.
class Dragging : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        PlaceStartScene();
        dragSensitivity = 0.0002f;
    }
    void TearDown() override { ResetProgramState(); }

    static float X(int panel, int corner) { return panelTable.panels[panel].corner[corner][0]; }
    static bool Unchanged(const PanelTable& before, int first, int last) {
        return std::memcmp(&before.panels[first], &panelTable.panels[first],
                           sizeof(Panel) * static_cast<size_t>(last - first + 1)) == 0;
    }
};

TEST_F(Dragging, OnePixelMovesByDepthLessTwoTimesTheSensitivity) {
    const PanelTable before = panelTable;
    DragPanelByPixels(PANEL_SLIDE_A, 1.0f);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(X(PANEL_SLIDE_A, k) - before.panels[2].corner[k][0], 0.0042, 1e-6);
    DragPanelByPixels(PANEL_CURSOR_A, 1.0f);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(X(PANEL_CURSOR_A, k) - before.panels[0].corner[k][0], 0.004196, 1e-6);
    // Only x changes, and only of the dragged panels.
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(panelTable.panels[2].corner[k][1], before.panels[2].corner[k][1]);
        EXPECT_EQ(panelTable.panels[2].corner[k][2], before.panels[2].corner[k][2]);
    }
    EXPECT_TRUE(Unchanged(before, 3, 7));

    DragPanelByPixels(PANEL_SLIDE_B, -10.0f);
    EXPECT_NEAR(X(PANEL_SLIDE_B, 0), -15.042, 1e-5);
}

TEST_F(Dragging, SlideStopsWhenItsFarEndReachesTheBodysEnd) {
    DragPanelByPixels(PANEL_SLIDE_A, -100000.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 2), -15.0f);  // moved by exactly -30
    EXPECT_EQ(X(PANEL_SLIDE_A, 0), -45.0f);
    DragPanelByPixels(PANEL_SLIDE_A, -5.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 2), -15.0f);
    // Back in at once.
    DragPanelByPixels(PANEL_SLIDE_A, 1.0f);
    EXPECT_NEAR(X(PANEL_SLIDE_A, 2), -14.9958, 1e-5);

    DragPanelByPixels(PANEL_SLIDE_A, 100000.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 0), 15.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 2), 45.0f);
}

TEST_F(Dragging, CursorWindowStopsAtTheLeftEndAndAQuarterPastTheRight) {
    DragPanelByPixels(PANEL_CURSOR_A, 100000.0f);
    EXPECT_EQ(X(PANEL_CURSOR_A, 3), 15.25f);
    DragPanelByPixels(PANEL_CURSOR_A, 3.0f);
    EXPECT_EQ(X(PANEL_CURSOR_A, 3), 15.25f);
    DragPanelByPixels(PANEL_CURSOR_A, -1.0f);
    EXPECT_LT(X(PANEL_CURSOR_A, 3), 15.25f);
    DragPanelByPixels(PANEL_CURSOR_A, -100000.0f);
    EXPECT_EQ(X(PANEL_CURSOR_A, 0), -15.0f);
}

TEST_F(Dragging, AMoveOverTheLimitStopsExactlyOnIt) {
    // The slide's left end at 14.9, a move of 0.42 would take it to 15.32.
    const float shift = static_cast<float>(14.9f - X(PANEL_SLIDE_A, 0));
    for (auto& corner : panelTable.panels[PANEL_SLIDE_A].corner) corner[0] += shift;
    ASSERT_EQ(X(PANEL_SLIDE_A, 0), 14.9f);
    dragSensitivity = 0.001f;
    DragPanelByPixels(PANEL_SLIDE_A, 20.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 0), 15.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 1), 15.0f);

    // The limit on its own: left first, then right with what the left left.
    EXPECT_EQ(14.9f + LimitDragDelta(0.4, -10.0f, -15.0f, 14.9f, 15.0f), 15.0);
    EXPECT_EQ(LimitDragDelta(-0.5, -14.8f, -15.0f, 10.0f, 15.0f), static_cast<double>(-15.0f) - -14.8f);
    EXPECT_EQ(LimitDragDelta(-0.5, -15.0f, -15.0f, 10.0f, 15.0f), 0.0);
    EXPECT_EQ(LimitDragDelta(0.5, -15.0f, -15.0f, 10.0f, 15.0f), 0.5);
    EXPECT_EQ(LimitDragDelta(0.5, -16.0f, -15.0f, 15.0f, 15.0f), 0.0);
}

TEST_F(Dragging, BothRulesTakeTheirLimitsFromTheFirstRulesUpperStrip) {
    panelTable.panels[PANEL_UPPER_BODY_A].corner[0][0] = -10.0f;
    panelTable.panels[PANEL_UPPER_BODY_A].corner[3][0] = 10.0f;
    DragPanelByPixels(PANEL_CURSOR_B, -100000.0f);
    EXPECT_EQ(X(PANEL_CURSOR_B, 0), -10.0f);
    DragPanelByPixels(PANEL_SLIDE_B, 100000.0f);
    EXPECT_EQ(X(PANEL_SLIDE_B, 0), 10.0f);
    // The second rule's own strip is not a limit.
    EXPECT_EQ(X(PANEL_UPPER_BODY_B, 0), -15.0f);
}

TEST_F(Dragging, BodyStripsAndOtherIndicesNeverMove) {
    const PanelTable before = panelTable;
    const int held[] = {PANEL_UPPER_BODY_A, PANEL_LOWER_BODY_A, PANEL_UPPER_BODY_B, PANEL_LOWER_BODY_B, 8, -1};
    for (int panel : held) DragPanelByPixels(panel, 50.0f);
    EXPECT_TRUE(Unchanged(before, 0, 7));
    // A panel at depth 2 does not move either.
    for (auto& corner : panelTable.panels[PANEL_SLIDE_A].corner) corner[2] = 2.0f;
    DragPanelByPixels(PANEL_SLIDE_A, 50.0f);
    EXPECT_EQ(X(PANEL_SLIDE_A, 0), -15.0f);
}

TEST_F(Dragging, DigitKeysSetTheSensitivityAndTheHighestWins) {
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.0002f);  // no key held: unchanged

    HeadlessKey(VK_0 + 9, true);
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.01f);
    HeadlessKey(VK_0 + 9, false);

    HeadlessKey(VK_0 + 3, true);
    HeadlessKey(VK_0 + 7, true);
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.005f);
    HeadlessKey(VK_0 + 3, false);
    HeadlessKey(VK_0 + 7, false);
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.005f);  // the setting stays

    // A press and release between two polls still counts.
    HeadlessKey(VK_0, true);
    HeadlessKey(VK_0, false);
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.00001f);

    // The keypad's digits are not sensitivity keys.
    HeadlessKey(VK_NUMPAD0 + 9, true);
    ReadSensitivityKeys();
    EXPECT_EQ(dragSensitivity, 0.00001f);

    for (int digit = 0; digit < 10; ++digit) {
        HeadlessKey(VK_0 + digit, true);
        ReadSensitivityKeys();
        HeadlessKey(VK_0 + digit, false);
        EXPECT_EQ(dragSensitivity, DIGIT_SENSITIVITY[digit]);
    }
}

}  // namespace
