#include "render/scene_renderer.h"

#include <GL/gl.h>

#include <initializer_list>

#include "platform/platform.h"
#include "render/textures.h"
#include "render/view.h"
#include "scene/panels.h"

namespace {

constexpr double DARK_GREY = 0.2;
constexpr double LIGHT_GREY = 0.8;
constexpr float OUTLINE_WIDTH = 3.0f;
constexpr float HAIRLINE_WIDTH = 1.0f;

void DrawSegment(const float* from, const float* to) {
    glBegin(GL_LINES);
    glVertex3d(from[0], from[1], from[2]);
    glVertex3d(to[0], to[1], to[2]);
    glEnd();
}

}  // namespace

void DrawPanelOutline(int panel) {
    const auto& c = panelTable.panels[panel].corner;

    // Dark left and right edges.
    glColor3d(DARK_GREY, DARK_GREY, DARK_GREY);
    glLineWidth(OUTLINE_WIDTH);
    DrawSegment(c[0], c[1]);
    glLineWidth(OUTLINE_WIDTH);
    DrawSegment(c[2], c[3]);

    // The hairline: x halfway along the bottom and top edges, y from corner 0
    // and corner 1, both ends at corner 0's depth.
    glLineWidth(HAIRLINE_WIDTH);
    glBegin(GL_LINES);
    glVertex3d((static_cast<double>(c[0][0]) + c[3][0]) / 2.0, c[0][1], c[0][2]);
    glVertex3d((static_cast<double>(c[1][0]) + c[2][0]) / 2.0, c[1][1], c[0][2]);
    glEnd();

    // Light top and bottom edges.
    glColor3d(LIGHT_GREY, LIGHT_GREY, LIGHT_GREY);
    glLineWidth(OUTLINE_WIDTH);
    DrawSegment(c[1], c[2]);
    glLineWidth(OUTLINE_WIDTH);
    DrawSegment(c[0], c[3]);

    glLineWidth(HAIRLINE_WIDTH);
}

void DrawTexturedBatch(int first, int second, int third) {
    glEnable(GL_TEXTURE_2D);
    // The float index is truncated toward zero; only the first panel's counts.
    const int textureIndex = static_cast<int>(panelTable.panels[first].textureIndex);
    glBindTexture(GL_TEXTURE_2D, TextureName(textureIndex));
    glBegin(GL_QUADS);
    for (int index : {first, second, third}) {
        const Panel& panel = panelTable.panels[index];
        glColor3d(1.0, 1.0, 1.0);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2d(panel.texCoord[k][0], panel.texCoord[k][1]);
            glVertex3d(panel.corner[k][0], panel.corner[k][1], panel.corner[k][2]);
        }
    }
    glEnd();
}

void RenderScene() {
    UpdateCamera();
    ApplyCamera();
    // Front faces are culled with the default counter-clockwise winding, so a
    // quadrilateral shows when its corners run clockwise on screen, as every
    // strip's do (left bottom, left top, right top, right bottom).
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    // Texturing is never switched off: from the second frame on, the outlines
    // are modulated by the last batch's texture at its last coordinate.
    DrawPanelOutline(PANEL_CURSOR_A);
    DrawTexturedBatch(PANEL_UPPER_BODY_A, PANEL_SLIDE_A, PANEL_LOWER_BODY_A);
    DrawPanelOutline(PANEL_CURSOR_B);
    DrawTexturedBatch(PANEL_UPPER_BODY_B, PANEL_SLIDE_B, PANEL_LOWER_BODY_B);
    glPopMatrix();
}

void ClearBuffers() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void PresentFrame() { PlatformSwapBuffers(); }
