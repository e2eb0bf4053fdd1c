#include "render/text_panel.h"

#include <GL/gl.h>

#include "render/bitmap_font.h"

namespace {

constexpr float PANEL_GREY = 0.93f;

}  // namespace

void BeginOverlay(int clientWidth, int clientHeight) {
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, clientWidth, clientHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, clientWidth, clientHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void EndOverlay() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

int PanelLineHeight() { return TextPixels(PANEL_LINE_HEIGHT); }
int PanelPadding() { return TextPixels(PANEL_PADDING); }

void FillPanel(int left, int top, int width, int height) {
    glColor3f(PANEL_GREY, PANEL_GREY, PANEL_GREY);
    glBegin(GL_QUADS);
    glVertex3d(left, top, 0.0);
    glVertex3d(left, top + height, 0.0);
    glVertex3d(left + width, top + height, 0.0);
    glVertex3d(left + width, top, 0.0);
    glEnd();
}

// PrintText's baseline lies cellHeight - 9 pixels below its y, and the
// glyphs rise about 10 pixels (at the desktop's size) above it.
void PanelTextLine(int x, int top, const std::string& text, float grey) {
    PrintText(x - 9, top + TextPixels(10) - static_cast<int32_t>(bitmapFont.cellHeight - 9.0f), grey, grey, grey,
              "%s", text.c_str());
}

void DrawPanelCaret(float x, int top, int height) {
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3d(x, top, 0.0);
    glVertex3d(x, top + height, 0.0);
    glVertex3d(x + 1.0, top + height, 0.0);
    glVertex3d(x + 1.0, top, 0.0);
    glEnd();
}
