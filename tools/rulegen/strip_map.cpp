#include "tools/rulegen/strip_map.h"

#include <cmath>

namespace {

// Corners on the strip's unit square: left bottom, left top, right top,
// right bottom.
constexpr double CORNER_U[4] = {0, 0, 1, 1};
constexpr double CORNER_V[4] = {0, 1, 1, 0};

// The plane a + b * u + c * v through three corner values.
void SolvePlane(const int corners[3], const double values[4], double plane[3]) {
    const double u0 = CORNER_U[corners[0]], v0 = CORNER_V[corners[0]];
    const double du1 = CORNER_U[corners[1]] - u0, dv1 = CORNER_V[corners[1]] - v0;
    const double du2 = CORNER_U[corners[2]] - u0, dv2 = CORNER_V[corners[2]] - v0;
    const double df1 = values[corners[1]] - values[corners[0]];
    const double df2 = values[corners[2]] - values[corners[0]];
    const double det = du1 * dv2 - du2 * dv1;
    plane[1] = (df1 * dv2 - df2 * dv1) / det;
    plane[2] = (du1 * df2 - du2 * df1) / det;
    plane[0] = values[corners[0]] - plane[1] * u0 - plane[2] * v0;
}

double Evaluate(const double plane[3], double u, double v) { return plane[0] + plane[1] * u + plane[2] * v; }

// Which triangle holds (u, v): the side of the shared diagonal (corners 0
// and 2) that the point lies on. Points beyond the square keep to the side
// they are on, so an edge's triangle extends past that edge.
int TriangleOf(double u, double v) { return v >= u ? 0 : 1; }

double UOf(const StripMap& strip, double x) { return (x - strip.left) / (strip.right - strip.left); }

}  // namespace

bool MakeStripMap(const Panel& panel, TextureSize size, StripMap* strip, std::string* error) {
    const auto& c = panel.corner;
    if (c[0][0] != c[1][0] || c[2][0] != c[3][0] || c[0][1] != c[3][1] || c[1][1] != c[2][1] ||
        !(c[3][0] > c[0][0]) || !(c[1][1] > c[0][1])) {
        *error = "a strip is not an upright rectangle with corners left bottom, left top, right top, right bottom";
        return false;
    }
    StripMap map{};
    map.left = c[0][0];
    map.right = c[3][0];
    map.bottom = c[0][1];
    map.top = c[1][1];
    map.size = size;
    for (int k = 0; k < 4; ++k) {
        map.texelX[k] = static_cast<double>(panel.texCoord[k][0]) * size.width;
        map.texelY[k] = static_cast<double>(panel.texCoord[k][1]) * size.height;
    }
    if (map.texelX[0] != map.texelX[1] || map.texelX[2] != map.texelX[3] || !(map.texelX[2] > map.texelX[0])) {
        *error = "a strip's texture columns are not shared by its left and by its right corners";
        return false;
    }
    for (int triangle = 0; triangle < 2; ++triangle) {
        SolvePlane(QUAD_TRIANGLES[triangle], map.texelX, map.planeX[triangle]);
        SolvePlane(QUAD_TRIANGLES[triangle], map.texelY, map.planeY[triangle]);
        if (!(map.planeY[triangle][2] > 0.0)) {
            *error = "a strip's texture runs downward: its top corners must have the larger t";
            return false;
        }
    }
    *strip = map;
    return true;
}

TexelPoint TexelOfScenePoint(const StripMap& strip, double x, double y) {
    const double u = UOf(strip, x);
    const double v = (y - strip.bottom) / (strip.top - strip.bottom);
    const int triangle = TriangleOf(u, v);
    return TexelPoint{Evaluate(strip.planeX[triangle], u, v), Evaluate(strip.planeY[triangle], u, v)};
}

double SceneXOfTexelX(const StripMap& strip, double texelX) {
    const double u = (texelX - strip.texelX[0]) / (strip.texelX[2] - strip.texelX[0]);
    return strip.left + u * (strip.right - strip.left);
}

double SceneYOfTexelY(const StripMap& strip, double x, double texelY) {
    const double u = UOf(strip, x);
    // Both planes meet on the diagonal v = u; above it the first triangle
    // maps, below it the second. t grows with v in both.
    const double onDiagonal = Evaluate(strip.planeY[0], u, u);
    const int triangle = texelY >= onDiagonal ? 0 : 1;
    const double* plane = strip.planeY[triangle];
    const double v = (texelY - plane[0] - plane[1] * u) / plane[2];
    return strip.bottom + v * (strip.top - strip.bottom);
}

bool StripPanelsOfTexture(const PanelTable& table, int textureIndex, int panels[3]) {
    // The renderer draws two batches; the first panel of each picks the
    // texture for all three.
    const int batches[2][3] = {{PANEL_UPPER_BODY_A, PANEL_SLIDE_A, PANEL_LOWER_BODY_A},
                               {PANEL_UPPER_BODY_B, PANEL_SLIDE_B, PANEL_LOWER_BODY_B}};
    for (const auto& batch : batches) {
        if (static_cast<int>(table.panels[batch[0]].textureIndex) == textureIndex) {
            for (int k = 0; k < 3; ++k) panels[k] = batch[k];
            return true;
        }
    }
    return false;
}

bool TextureSizeFits(const PanelTable& table, int textureIndex, TextureSize size) {
    // Coordinates are floats: k / 2100 is good to about 1e-4 texels.
    constexpr double TOLERANCE = 1e-3;
    int panels[3];
    if (!StripPanelsOfTexture(table, textureIndex, panels)) return false;
    for (int panel : panels) {
        for (int k = 0; k < 4; ++k) {
            const double x = static_cast<double>(table.panels[panel].texCoord[k][0]) * size.width;
            const double y = static_cast<double>(table.panels[panel].texCoord[k][1]) * size.height;
            if (std::fabs(x - std::round(x)) > TOLERANCE || std::fabs(y - std::round(y)) > TOLERANCE) return false;
        }
    }
    return true;
}
