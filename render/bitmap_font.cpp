#include "render/bitmap_font.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "render/view.h"

BitmapFont bitmapFont;

uint32_t CreateBitmapFont(const char* faceName, int32_t height) {
    const GLuint base = glGenLists(bitmapFont.listCount);
    // Without lists there is nothing to fill; text then draws nothing.
    if (base != 0) PlatformUseFontBitmaps(faceName, height, true, 0, GLYPH_COUNT, base, bitmapFont.advance);
    return base;
}

namespace {

constexpr int DESKTOP_CELL_HEIGHT = 12;

}  // namespace

void CreateTextFont() {
    const double scale = PlatformTextScale();
    const int cell = scale == 1.0 ? DESKTOP_CELL_HEIGHT : static_cast<int>(std::lround(DESKTOP_CELL_HEIGHT * scale));
    bitmapFont.cellHeight = static_cast<float>(cell);
    bitmapFont.listBase = CreateBitmapFont("Arial", cell);
}

int TextPixels(int pixels) {
    if (bitmapFont.cellHeight <= 0.0f || bitmapFont.cellHeight == static_cast<float>(DESKTOP_CELL_HEIGHT)) {
        return pixels;
    }
    return static_cast<int>(std::lround(pixels * static_cast<double>(bitmapFont.cellHeight) / DESKTOP_CELL_HEIGHT));
}

float TextWidth(const char* text) {
    float width = 0.0f;
    for (const char* c = text; *c != '\0'; ++c) width += bitmapFont.advance[static_cast<uint8_t>(*c)];
    return width;
}

void SetTextRasterPosition(int32_t x, int32_t y) {
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // A 20 x 20 viewport whose centre is the text position, measured from the
    // bottom: the centre of the clip volume is then always a valid position.
    const double bottom = std::trunc(viewState.clientHeight - static_cast<double>(bitmapFont.cellHeight) - y);
    glViewport(x - 1, static_cast<GLint>(bottom) - 1, 20, 20);
    glRasterPos4f(0.0f, 0.0f, 0.0f, 1.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void PrintText(int32_t x, int32_t y, float r, float g, float b, const char* format, ...) {
    if (format == nullptr) return;
    // Set before the raster position, which takes the current colour.
    glColor3f(r, g, b);
    char text[TEXT_BUFFER_SIZE] = "";
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    SetTextRasterPosition(x, y);
    glPushAttrib(GL_LIST_BIT);
    glListBase(bitmapFont.listBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
