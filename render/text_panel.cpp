#include "render/text_panel.h"

#include <GL/gl.h>

#include <algorithm>

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

std::vector<std::string> WrapText(const std::string& text, const std::string& separator,
                                  const std::function<bool(const std::string&)>& fits) {
    std::vector<std::string> lines(1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(start, end - start);
        const std::string longer = lines.back().empty() ? piece : lines.back() + separator + piece;
        if (!lines.back().empty() && !fits(longer)) {
            lines.push_back(piece);
        } else {
            lines.back() = longer;
        }
        start = end == text.size() ? end : end + separator.size();
    }
    return lines;
}

std::vector<std::string> WrapToWidth(const std::string& text, const std::string& separator, int width) {
    return WrapText(text, separator,
                    [width](const std::string& line) { return TextWidth(line.c_str()) <= static_cast<float>(width); });
}

float WidestLine(const std::vector<std::string>& lines) {
    float widest = 0.0f;
    for (const std::string& line : lines) widest = std::max(widest, TextWidth(line.c_str()));
    return widest;
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
