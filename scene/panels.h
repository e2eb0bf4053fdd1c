// The scene: a fixed table of eight flat quadrilaterals, the panels, that
// make up two slide rules. Everything that moves rewrites their corners.
#pragma once

#include <cstdint>

// One scene element: 63 single-precision floats. Only the corners, the
// texture coordinates, the texture index and the two markers carry meaning;
// the reserved slots are kept with their initial values.
struct Panel {
    float corner[4][3];    // slots 0-11: x, y, z of corners 0 to 3
    float reservedA[3];    // slots 12-14
    float texCoord[4][2];  // slots 15-22: s, t of corners 0 to 3
    float reservedB[3];    // slots 23-25
    float textureIndex;    // slot 26: a whole number, truncated to index TextureTable
    float reservedC[18];   // slots 27-44
    float moveLock;        // slot 45: exactly 1.0 keeps the panel out of translations
    float reservedD;       // slot 46
    float shapeMarker;     // slot 47: 255 quadrilateral, 254 fixed, other: corner 0 only
    float reservedE[15];   // slots 48-62
};
static_assert(sizeof(Panel) == 63 * sizeof(float), "a panel is 63 packed floats");

constexpr int PANEL_CAPACITY = 8;
constexpr float SHAPE_QUAD = 255.0f;
constexpr float SHAPE_FIXED = 254.0f;
constexpr float MOVE_LOCKED = 1.0f;

// Panel roles. Index order is also the order in which picking tries them.
enum : int {
    PANEL_CURSOR_A = 0,
    PANEL_UPPER_BODY_A = 1,
    PANEL_SLIDE_A = 2,
    PANEL_LOWER_BODY_A = 3,
    PANEL_CURSOR_B = 4,
    PANEL_UPPER_BODY_B = 5,
    PANEL_SLIDE_B = 6,
    PANEL_LOWER_BODY_B = 7
};

struct PanelTable {
    Panel panels[PANEL_CAPACITY];
    int32_t panelCount;  // panels in use; start-up sets 8
};

// The vertical distance between the two rules; only the initial table uses it.
constexpr float setSpacing = 10.0f;

// The table as static initialisation leaves it: panels 0-3 from the program's
// constant data, panels 4-7 derived from them, panelCount 0.
PanelTable BuildInitialPanelTable();

extern PanelTable panelTable;
