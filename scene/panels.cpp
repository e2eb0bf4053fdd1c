#include "scene/panels.h"

#include <cstring>

namespace {

// Slot values that every panel starts with.
constexpr float RESERVED_A[3] = {0, 1, 1};
constexpr float RESERVED_C[18] = {255, 255, 255, 0.5f, 0, 0, 0, 0, 1, 0, 2, 0, 65, 65, 65, 65, 65, 65};
constexpr float RESERVED_E[15] = {65, 65, 65, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

Panel MakePanel(const float (&corners)[4][3], const float (&texCoords)[4][2], float textureIndex) {
    Panel panel{};
    std::memcpy(panel.corner, corners, sizeof panel.corner);
    std::memcpy(panel.reservedA, RESERVED_A, sizeof panel.reservedA);
    std::memcpy(panel.texCoord, texCoords, sizeof panel.texCoord);
    panel.textureIndex = textureIndex;
    std::memcpy(panel.reservedC, RESERVED_C, sizeof panel.reservedC);
    panel.moveLock = 0.0f;
    panel.reservedD = 0.0f;
    panel.shapeMarker = SHAPE_QUAD;
    std::memcpy(panel.reservedE, RESERVED_E, sizeof panel.reservedE);
    return panel;
}

// Texture coordinates are whole texels of the 2100-pixel-wide images, whose
// heights are 380 (first rule) and 409 (second rule). The left and right t
// values differ: the photographed strips are slightly skewed.
constexpr float S(int texel) { return static_cast<float>(texel / 2100.0); }
constexpr float T1(int texel) { return static_cast<float>(texel / 380.0); }
constexpr float T2(int texel) { return static_cast<float>(texel / 409.0); }

constexpr float NO_TEX[4][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};

// The first rule, as the program's constant data (left bottom, left top,
// right top, right bottom).
const Panel FIRST_RULE[4] = {
    MakePanel({{-1.4f, -6, 8.98f}, {-1.4f, 1, 8.98f}, {1.4f, 1, 8.98f}, {1.4f, -6, 8.98f}}, NO_TEX, 0),
    MakePanel({{-15, -1, 9}, {-15, 1, 9}, {15, 1, 9}, {15, -1, 9}},
              {{S(72), T1(273)}, {S(72), T1(365)}, {S(2027), T1(377)}, {S(2027), T1(285)}}, 0),
    MakePanel({{-15, -3.97f, 9}, {-15, -1.03f, 9}, {15, -1.03f, 9}, {15, -3.97f, 9}},
              {{S(72), T1(111)}, {S(72), T1(247)}, {S(2025), T1(257)}, {S(2025), T1(122)}}, 0),
    MakePanel({{-15, -6, 9}, {-15, -4, 9}, {15, -4, 9}, {15, -6, 9}},
              {{S(72), T1(16)}, {S(72), T1(88)}, {S(2024), T1(91)}, {S(2024), T1(19)}}, 0),
};

// Texture coordinates and texture indices of the second rule.
const float SECOND_RULE_TEX[4][4][2] = {
    {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
    {{S(75), T2(335)}, {S(75), T2(407)}, {S(2028), T2(388)}, {S(2028), T2(316)}},
    {{S(75), T2(164)}, {S(75), T2(301)}, {S(2028), T2(280)}, {S(2028), T2(142)}},
    {{S(75), T2(27)}, {S(75), T2(123)}, {S(2028), T2(108)}, {S(2028), T2(7)}},
};
const float SECOND_RULE_TEXTURE_INDEX[4] = {0, 1, 1, 1};

}  // namespace

PanelTable BuildInitialPanelTable() {
    PanelTable table{};
    for (int i = 0; i < 4; ++i) {
        table.panels[i] = FIRST_RULE[i];
        // The second rule is the first one lowered by setSpacing, with its
        // own texture coordinates and texture.
        float corners[4][3];
        for (int k = 0; k < 4; ++k) {
            corners[k][0] = FIRST_RULE[i].corner[k][0];
            corners[k][1] = FIRST_RULE[i].corner[k][1] - setSpacing;
            corners[k][2] = FIRST_RULE[i].corner[k][2];
        }
        table.panels[i + 4] = MakePanel(corners, SECOND_RULE_TEX[i], SECOND_RULE_TEXTURE_INDEX[i]);
    }
    table.panelCount = 0;
    return table;
}

PanelTable panelTable = BuildInitialPanelTable();
