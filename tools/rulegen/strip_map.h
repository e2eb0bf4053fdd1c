// Where a point of a textured strip lands in its texture.
//
// The renderer draws each strip as one GL quadrilateral with a texture
// coordinate at each corner. The rasteriser splits it into the triangles
// (0, 1, 2) and (0, 2, 3), and within each triangle the coordinates are
// interpolated linearly over the strip's face. All strips lie at one depth,
// so the perspective-correct interpolation is linear on the screen as well.
// The coordinates of the strips are slightly skewed, and in some strips they
// do not even form a parallelogram, so the two triangles map differently: the
// generator follows them exactly, triangle by triangle.
#pragma once

#include <string>

#include "scene/panels.h"

struct TextureSize {
    int width;
    int height;
};

// One strip: its rectangle in the scene and its texture mapping.
struct StripMap {
    double left;    // scene x of corners 0 and 1
    double right;   // scene x of corners 2 and 3
    double bottom;  // scene y of corners 0 and 3
    double top;     // scene y of corners 1 and 2
    // Texture coordinates of the corners in texel units: x = s * width,
    // y = t * height. Texel column i covers x from i to i + 1.
    double texelX[4];
    double texelY[4];
    // Per triangle, the texel x and y as planes a + b * u + c * v over the
    // strip's unit square (u across, v up).
    double planeX[2][3];
    double planeY[2][3];
    TextureSize size;
};

// The corners of each triangle, as the rasteriser splits a quadrilateral.
constexpr int QUAD_TRIANGLES[2][3] = {{0, 1, 2}, {0, 2, 3}};

// Builds the map of one strip of the initial table. Refuses (with a message)
// a strip that is not an upright rectangle, whose texture columns are not
// shared by its left and right corner pairs, or whose texture runs downward.
bool MakeStripMap(const Panel& panel, TextureSize size, StripMap* strip, std::string* error);

struct TexelPoint {
    double x;
    double y;
};

// The texel point that the renderer samples for a scene point of the strip
// (as the slide stands at home). Points a little outside the strip follow the
// plane of the triangle on their side.
TexelPoint TexelOfScenePoint(const StripMap& strip, double x, double y);
// Scene x of a texel x; the texture columns do not depend on y.
double SceneXOfTexelX(const StripMap& strip, double texelX);
// Scene y at scene x where the strip samples texel row position texelY.
double SceneYOfTexelY(const StripMap& strip, double x, double texelY);

// Whether every texture coordinate of one texture's strips falls on a texel
// edge of a texture of that size, as coordinates measured on an image of that
// size do. False also when the table has no strips for that texture.
bool TextureSizeFits(const PanelTable& table, int textureIndex, TextureSize size);

// The three strips (upper body, slide, lower body) that show a texture, top
// to bottom; false when no batch of the table uses that texture.
bool StripPanelsOfTexture(const PanelTable& table, int textureIndex, int panels[3]);
