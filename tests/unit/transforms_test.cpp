#include <gtest/gtest.h>

#include <cstring>

#include "scene/panels.h"
#include "scene/transforms.h"

namespace {

class PanelTransforms : public ::testing::Test {
protected:
    void SetUp() override {
        panelTable = BuildInitialPanelTable();
        panelTable.panelCount = 8;
        panelShift = Vec3f{0.0f, 0.0f, 0.0f};
    }
    void TearDown() override { panelShift = Vec3f{0.0f, 0.0f, 0.0f}; }

    static bool SameBits(const PanelTable& a, const PanelTable& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};

TEST_F(PanelTransforms, StartUpShiftPlacesTheRule) {
    panelShift = Vec3f{0.0f, 8.0f, 14.0f};
    TranslatePanels(0, 8);
    EXPECT_EQ(panelTable.panels[1].corner[0][0], -15.0f);
    EXPECT_EQ(panelTable.panels[1].corner[0][1], 7.0f);
    EXPECT_EQ(panelTable.panels[1].corner[0][2], 23.0f);
    EXPECT_EQ(panelTable.panels[0].corner[0][0], -1.4f);
    EXPECT_EQ(panelTable.panels[0].corner[0][1], 2.0f);
    EXPECT_EQ(panelTable.panels[0].corner[0][2], static_cast<float>(static_cast<double>(8.98f) + 14.0));
    EXPECT_EQ(panelTable.panels[7].corner[3][1], -8.0f);  // the second set spans -8 to -1
    EXPECT_EQ(panelTable.panels[5].corner[1][1], -1.0f);
}

TEST_F(PanelTransforms, ZeroShiftsAndEmptyRangesChangeNothing) {
    const PanelTable before = panelTable;
    TranslatePanels(0, 8);
    panelShift = Vec3f{-0.0f, -0.0f, -0.0f};
    TranslatePanels(0, 8);
    panelShift = Vec3f{1.0f, 1.0f, 1.0f};
    TranslatePanels(3, 3);
    TranslatePanels(5, 2);
    RotatePanelsAboutX(4, 3, 30.0f);
    RotatePanelsAboutY(7, 0, 30.0f);
    RotatePanelsAboutX(0, 7, 0.0f);
    RotatePanelsAboutY(0, 7, 0.0f);
    EXPECT_TRUE(SameBits(before, panelTable));
}

TEST_F(PanelTransforms, TranslationIsHalfOpenAndRotationInclusive) {
    const PanelTable before = panelTable;
    panelShift = Vec3f{1.0f, 0.0f, 0.0f};
    TranslatePanels(2, 4);
    EXPECT_EQ(panelTable.panels[1].corner[0][0], before.panels[1].corner[0][0]);
    EXPECT_EQ(panelTable.panels[2].corner[0][0], before.panels[2].corner[0][0] + 1.0f);
    EXPECT_EQ(panelTable.panels[3].corner[3][0], before.panels[3].corner[3][0] + 1.0f);
    EXPECT_EQ(panelTable.panels[4].corner[0][0], before.panels[4].corner[0][0]);

    panelTable = before;
    RotatePanelsAboutX(3, 3, 10.0f);
    EXPECT_NE(panelTable.panels[3].corner[0][1], before.panels[3].corner[0][1]);
    EXPECT_EQ(panelTable.panels[2].corner[0][1], before.panels[2].corner[0][1]);
    EXPECT_EQ(panelTable.panels[4].corner[0][1], before.panels[4].corner[0][1]);
}

TEST_F(PanelTransforms, MarkersDecideWhatMoves) {
    Panel& locked = panelTable.panels[1];
    Panel& fixed = panelTable.panels[2];
    Panel& pointLike = panelTable.panels[3];
    locked.moveLock = 1.0f;
    fixed.shapeMarker = 254.0f;
    pointLike.shapeMarker = 0.0f;
    const PanelTable before = panelTable;

    panelShift = Vec3f{0.5f, 0.25f, 2.0f};
    TranslatePanels(0, 8);
    for (int k = 0; k < 4; ++k) {
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(locked.corner[k][axis], before.panels[1].corner[k][axis]);
            EXPECT_EQ(fixed.corner[k][axis], before.panels[2].corner[k][axis]);
        }
    }
    // Any other marker moves corner 0 only.
    EXPECT_EQ(pointLike.corner[0][0], before.panels[3].corner[0][0] + 0.5f);
    EXPECT_EQ(pointLike.corner[0][2], before.panels[3].corner[0][2] + 2.0f);
    for (int k = 1; k < 4; ++k) EXPECT_EQ(pointLike.corner[k][0], before.panels[3].corner[k][0]);
    // A move lock of anything but exactly 1 moves the panel.
    panelTable.panels[5].moveLock = 0.999f;
    const float x = panelTable.panels[5].corner[2][0];
    TranslatePanels(5, 6);
    EXPECT_EQ(panelTable.panels[5].corner[2][0], x + 0.5f);

    // Rotation ignores the move lock and turns all four corners of any shape
    // but the fixed one.
    const PanelTable beforeTurn = panelTable;
    RotatePanelsAboutY(1, 3, 20.0f);
    EXPECT_NE(locked.corner[2][0], beforeTurn.panels[1].corner[2][0]);
    EXPECT_NE(pointLike.corner[3][0], beforeTurn.panels[3].corner[3][0]);
    EXPECT_EQ(fixed.corner[2][0], beforeTurn.panels[2].corner[2][0]);
    EXPECT_EQ(fixed.corner[2][2], beforeTurn.panels[2].corner[2][2]);
}

TEST_F(PanelTransforms, QuarterTurnUsesTheShortPi) {
    Panel& panel = panelTable.panels[0];
    for (auto& corner : panel.corner) {
        corner[0] = 1.0f;
        corner[1] = 0.0f;
        corner[2] = 0.0f;
    }
    RotatePanelsAboutY(0, 0, 90.0f);
    EXPECT_EQ(panel.corner[0][0], 2.6794897e-08f);
    EXPECT_EQ(panel.corner[0][2], 1.0f);
    EXPECT_EQ(panel.corner[0][1], 0.0f);

    // About x, +z turns toward +y.
    for (auto& corner : panel.corner) {
        corner[0] = 0.0f;
        corner[1] = 0.0f;
        corner[2] = 1.0f;
    }
    RotatePanelsAboutX(0, 0, 90.0f);
    EXPECT_EQ(panel.corner[0][1], 1.0f);
    EXPECT_EQ(panel.corner[0][2], 2.6794897e-08f);
}

TEST_F(PanelTransforms, TurnAndTurnBackRestoresTheScene) {
    panelShift = Vec3f{0.0f, 8.0f, 14.0f};
    TranslatePanels(0, 8);
    const PanelTable before = panelTable;
    RotatePanelsAboutY(0, 7, 12.5f);
    RotatePanelsAboutX(0, 7, -7.0f);
    RotatePanelsAboutX(0, 7, 7.0f);
    RotatePanelsAboutY(0, 7, -12.5f);
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 4; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(panelTable.panels[i].corner[k][axis], before.panels[i].corner[k][axis], 1e-5);
            }
        }
    }
}

}  // namespace
