#include <gtest/gtest.h>

#include <cstring>

#include "scene/panels.h"

namespace {

const float* Slots(const Panel& panel) { return reinterpret_cast<const float*>(&panel); }

TEST(InitialPanelTable, FieldsSitAtTheirSlots) {
    const PanelTable table = BuildInitialPanelTable();
    const float* slots = Slots(table.panels[1]);
    EXPECT_EQ(slots[0], -15.0f);   // corner 0 x
    EXPECT_EQ(slots[10], -1.0f);   // corner 3 y
    EXPECT_EQ(slots[15], static_cast<float>(72 / 2100.0));  // s of corner 0
    EXPECT_EQ(slots[26], 0.0f);    // texture index
    EXPECT_EQ(slots[45], 0.0f);    // move lock
    EXPECT_EQ(slots[47], 255.0f);  // shape marker
    EXPECT_EQ(Slots(table.panels[5])[26], 1.0f);
}

TEST(InitialPanelTable, SecondRuleIsTheFirstLoweredBySetSpacing) {
    const PanelTable table = BuildInitialPanelTable();
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(table.panels[i + 4].corner[k][0], table.panels[i].corner[k][0]);
            EXPECT_EQ(table.panels[i + 4].corner[k][1], table.panels[i].corner[k][1] - 10.0f);
            EXPECT_EQ(table.panels[i + 4].corner[k][2], table.panels[i].corner[k][2]);
        }
    }
    EXPECT_EQ(table.panels[6].corner[0][0], -15.0f);
    EXPECT_FLOAT_EQ(table.panels[6].corner[0][1], -13.97f);
    EXPECT_EQ(table.panels[6].corner[0][2], 9.0f);
    EXPECT_EQ(table.panels[4].corner[0][2], 8.98f);
}

TEST(InitialPanelTable, TextureIndicesAndCoordinates) {
    const PanelTable table = BuildInitialPanelTable();
    const float expectedIndex[8] = {0, 0, 0, 0, 0, 1, 1, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(table.panels[i].textureIndex, expectedIndex[i]) << "panel " << i;

    EXPECT_EQ(table.panels[1].texCoord[0][0], 0.034285713f);
    EXPECT_EQ(table.panels[1].texCoord[2][1], static_cast<float>(377 / 380.0));
    EXPECT_EQ(table.panels[7].texCoord[3][1], static_cast<float>(7 / 409.0));
    EXPECT_EQ(table.panels[6].texCoord[1][0], static_cast<float>(75 / 2100.0));
    // Corners 0 and 1 share s, and so do corners 2 and 3.
    for (int i : {1, 2, 3, 5, 6, 7}) {
        EXPECT_EQ(table.panels[i].texCoord[0][0], table.panels[i].texCoord[1][0]);
        EXPECT_EQ(table.panels[i].texCoord[2][0], table.panels[i].texCoord[3][0]);
    }
    for (int i : {0, 4}) {
        for (const auto& st : table.panels[i].texCoord) {
            EXPECT_EQ(st[0], 0.0f);
            EXPECT_EQ(st[1], 0.0f);
        }
    }
}

TEST(InitialPanelTable, SharedSlotsHoldTheirValuesInEveryPanel) {
    const PanelTable table = BuildInitialPanelTable();
    const float reservedC[18] = {255, 255, 255, 0.5f, 0, 0, 0, 0, 1, 0, 2, 0, 65, 65, 65, 65, 65, 65};
    for (int i = 0; i < 8; ++i) {
        const float* slots = Slots(table.panels[i]);
        EXPECT_EQ(slots[12], 0.0f);
        EXPECT_EQ(slots[13], 1.0f);
        EXPECT_EQ(slots[14], 1.0f);
        for (int s = 23; s <= 25; ++s) EXPECT_EQ(slots[s], 0.0f);
        for (int s = 0; s < 18; ++s) EXPECT_EQ(slots[27 + s], reservedC[s]) << "panel " << i << " slot " << 27 + s;
        EXPECT_EQ(slots[45], 0.0f);
        EXPECT_EQ(slots[46], 0.0f);
        EXPECT_EQ(slots[47], 255.0f);
        for (int s = 48; s <= 50; ++s) EXPECT_EQ(slots[s], 65.0f);
        for (int s = 51; s <= 62; ++s) EXPECT_EQ(slots[s], 0.0f);
    }
}

TEST(InitialPanelTable, GeometryOfOneRule) {
    const PanelTable table = BuildInitialPanelTable();
    // The cursor window spans the body from the lower strip's bottom to the
    // upper strip's top, 0.02 nearer the eye than the strips.
    EXPECT_EQ(table.panels[0].corner[0][1], table.panels[3].corner[0][1]);
    EXPECT_EQ(table.panels[0].corner[1][1], table.panels[1].corner[1][1]);
    EXPECT_NEAR(table.panels[1].corner[0][2] - table.panels[0].corner[0][2], 0.02f, 1e-6);
    // Corner order: left bottom, left top, right top, right bottom.
    for (const Panel& panel : table.panels) {
        EXPECT_EQ(panel.corner[0][0], panel.corner[1][0]);
        EXPECT_EQ(panel.corner[2][0], panel.corner[3][0]);
        EXPECT_LT(panel.corner[0][0], panel.corner[3][0]);
        EXPECT_LT(panel.corner[0][1], panel.corner[1][1]);
    }
    EXPECT_EQ(table.panelCount, 0);
}

}  // namespace
