// Picking: the projection of the corners, the bounding box and the angle sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "interaction/picking.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

// The scene as start-up leaves it, seen in a 640 x 480 client area.
class Picking : public ::testing::Test {
protected:
    void SetUp() override {
        PlaceStartScene();
        ASSERT_EQ(viewState.clientWidth, 640.0);
        ASSERT_EQ(viewState.clientHeight, 480.0);
    }
    void TearDown() override { ResetProgramState(); }
};

TEST_F(Picking, ProjectsTheStartSceneAsTheWorkedExampleSays) {
    ScreenCorner strip[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_UPPER_BODY_A], strip));
    EXPECT_NEAR(strip[0].sx, 17.48, 0.005);
    EXPECT_NEAR(strip[1].sx, 17.48, 0.005);
    EXPECT_NEAR(strip[2].sx, 622.52, 0.005);
    EXPECT_NEAR(strip[3].sx, 622.52, 0.005);
    EXPECT_NEAR(strip[0].sy, 111.66, 0.005);
    EXPECT_NEAR(strip[1].sy, 74.99, 0.005);

    ScreenCorner cursor[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_CURSOR_A], cursor));
    EXPECT_NEAR(cursor[0].sx, 291.74, 0.005);
    EXPECT_NEAR(cursor[3].sx, 348.26, 0.005);
    EXPECT_NEAR(cursor[0].sy, 203.30, 0.005);
    EXPECT_NEAR(cursor[1].sy, 74.85, 0.005);

    // Shift doubles the distance: the projection grows about the centre
    // by a hair under two, as the centre of projection moves back with it.
    viewState.pickDistance = 2.0f * viewState.basePickDistance;
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_UPPER_BODY_A], strip));
    EXPECT_NEAR(strip[0].sx, 320.0 - 2.0 * (320.0 - 17.48), 0.25);
    EXPECT_GT(strip[0].sx, 320.0 - 2.0 * (320.0 - 17.48));
}

TEST_F(Picking, FirstHitInIndexOrderWins) {
    ScreenCorner strip[4];
    ScreenCorner cursor[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_UPPER_BODY_A], strip));
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[PANEL_CURSOR_A], cursor));

    // (100, 90): outside the cursor window's box, inside the upper strip.
    EXPECT_TRUE(OutsideBoundingBox(cursor, 100.0f, 90.0f));
    EXPECT_NEAR(AngleSumDegrees(strip, 100.0f, 90.0f), 360.0f, 0.01f);
    EXPECT_EQ(FindPanelAt(100.0f, 90.0f), PANEL_UPPER_BODY_A);

    // (320, 90) lies in both; the cursor window comes first.
    EXPECT_TRUE(QuadHoldsPoint(strip, 320.0f, 90.0f));
    EXPECT_EQ(FindPanelAt(320.0f, 90.0f), PANEL_CURSOR_A);
    // So it does over the slide, and over the second rule's slide.
    EXPECT_EQ(FindPanelAt(320.0f, 140.0f), PANEL_CURSOR_A);
    EXPECT_EQ(FindPanelAt(320.0f, 330.0f), PANEL_CURSOR_B);
    EXPECT_EQ(FindPanelAt(100.0f, 140.0f), PANEL_SLIDE_A);
    EXPECT_EQ(FindPanelAt(100.0f, 330.0f), PANEL_SLIDE_B);

    // (100, 74), one pixel above the strip's top edge: every sy is greater.
    EXPECT_TRUE(OutsideBoundingBox(strip, 100.0f, 74.0f));
    EXPECT_EQ(FindPanelAt(100.0f, 74.0f), NO_PANEL);
    // Between the rules nothing is hit.
    EXPECT_EQ(FindPanelAt(100.0f, 240.0f), NO_PANEL);

    panelTable.panelCount = 0;
    EXPECT_EQ(FindPanelAt(100.0f, 90.0f), NO_PANEL);
}

TEST(AngleSum, EdgesAndCornersCountAsInside) {
    // A screen-aligned rectangle with corners left bottom, left top, right
    // top, right bottom (y grows downward).
    const ScreenCorner box[4] = {{10, 60}, {10, 20}, {90, 20}, {90, 60}};
    EXPECT_NEAR(AngleSumDegrees(box, 50.0f, 40.0f), 360.0f, 1e-3f);
    // On the top edge: the edge's own pair is 180 degrees.
    EXPECT_NEAR(AngleSumDegrees(box, 50.0f, 20.0f), 360.0f, 1e-3f);
    EXPECT_TRUE(QuadHoldsPoint(box, 50.0f, 20.0f));
    // On a corner: its zero-length vector counts 180 degrees on both pairs.
    EXPECT_GE(AngleSumDegrees(box, 10.0f, 20.0f), 360.0f);
    EXPECT_TRUE(QuadHoldsPoint(box, 10.0f, 20.0f));
    EXPECT_TRUE(QuadHoldsPoint(box, 90.0f, 60.0f));
    // One pixel outside the edge is rejected by the box.
    EXPECT_TRUE(OutsideBoundingBox(box, 50.0f, 19.0f));
    EXPECT_FALSE(QuadHoldsPoint(box, 50.0f, 19.0f));
}

TEST(AngleSum, PointsInsideTheBoxButOutsideTheQuadrilateralMiss) {
    // A diamond: its box holds (15, 15), the diamond does not.
    const ScreenCorner diamond[4] = {{50, 90}, {10, 50}, {50, 10}, {90, 50}};
    EXPECT_FALSE(OutsideBoundingBox(diamond, 15.0f, 15.0f));
    EXPECT_LT(AngleSumDegrees(diamond, 15.0f, 15.0f), 300.0f);
    EXPECT_FALSE(QuadHoldsPoint(diamond, 15.0f, 15.0f));
    EXPECT_TRUE(QuadHoldsPoint(diamond, 40.0f, 30.0f));
    // Outside the middle of an edge by 0.03 pixels (under 1/900 of the edge):
    // the half degree admits it; by 0.14 pixels it does not.
    EXPECT_TRUE(QuadHoldsPoint(diamond, 29.98f, 29.98f));
    EXPECT_FALSE(QuadHoldsPoint(diamond, 29.9f, 29.9f));
}

TEST_F(Picking, PanelsReachingTheEyePlaneAreNeverGrabbed) {
    ScreenCorner corners[4];
    for (float z : {0.0f, -0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        SetUp();
        panelTable.panels[PANEL_UPPER_BODY_A].corner[2][2] = z;
        EXPECT_FALSE(ProjectPanelCorners(panelTable.panels[PANEL_UPPER_BODY_A], corners)) << z;
        EXPECT_EQ(FindPanelAt(100.0f, 90.0f), NO_PANEL) << z;
        // The next panel in order is still found.
        EXPECT_EQ(FindPanelAt(100.0f, 140.0f), PANEL_SLIDE_A) << z;
    }
}

}  // namespace
