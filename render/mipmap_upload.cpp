// The mipmap levels into the bound texture: the size GLU would choose in this
// context, then every level defined and filled.
#include "render/mipmap_upload.h"

#include <GL/gl.h>

#include <cstdlib>

#include "images/mipmaps.h"

namespace {

// GLU asks proxy textures only of a GL of version 1.1 or later, reading the
// version as strtod does; a web GL's "OpenGL ES ..." reads as 0.
bool HasProxyTextures() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version != nullptr && std::strtod(version, nullptr) >= 1.1;
}

int LevelSide(int side, int level) { return side >> level > 0 ? side >> level : 1; }

void UploadRows(const MipmapRows& rows, void* context) {
    const GLenum format = *static_cast<const GLenum*>(context);
    glTexSubImage2D(GL_TEXTURE_2D, rows.level, 0, rows.firstRow, rows.width, rows.rowCount, format, GL_UNSIGNED_BYTE,
                    rows.pixels);
}

}  // namespace

void FitMipmapSize(int internalFormat, int width, int height, unsigned format, int* fittedWidth, int* fittedHeight) {
    int w = NearestPowerOfTwo(width);
    int h = NearestPowerOfTwo(height);
    if (HasProxyTextures()) {
        // Halve both sides until level 1 and the levels below it fit.
        for (;;) {
            const int w1 = w > 1 ? w >> 1 : w;
            const int h1 = h > 1 ? h >> 1 : h;
            glTexImage2D(GL_PROXY_TEXTURE_2D, 1, internalFormat, w1, h1, 0, format, GL_UNSIGNED_BYTE, nullptr);
            GLint proxyWidth = 0;
            glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &proxyWidth);
            if (proxyWidth != 0) {
                *fittedWidth = w;
                *fittedHeight = h;
                return;
            }
            if (w == 1 && h == 1) break;  // not even 1 x 1 fits: GLU clamps instead
            w = w1;
            h = h1;
        }
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    w = NearestPowerOfTwo(width);
    h = NearestPowerOfTwo(height);
    *fittedWidth = w > maxSize ? maxSize : w;
    *fittedHeight = h > maxSize ? maxSize : h;
}

bool BuildMipmaps(int internalFormat, int width, int height, unsigned format, const uint8_t* pixels) {
    if (format != GL_RGB && format != GL_RGBA) return false;
    const int components = format == GL_RGBA ? 4 : 3;
    if (pixels == nullptr || width < 1 || height < 1) return false;
    int w0 = 0;
    int h0 = 0;
    FitMipmapSize(internalFormat, width, height, format, &w0, &h0);
    if (w0 < 1 || h0 < 1) return false;

    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Every level is defined first, the smallest first: a driver that sizes a
    // texture's storage by the levels it has seen (Mesa) then makes room for
    // the whole chain once, instead of moving level 0 when level 1 arrives.
    for (int level = MipmapLevelCount(w0, h0); level >= 0; --level) {
        glTexImage2D(GL_TEXTURE_2D, level, internalFormat, LevelSide(w0, level), LevelSide(h0, level), 0, format,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    GLenum uploadFormat = format;
    const MipmapPicture picture{pixels, width, height, components,
                                static_cast<size_t>(width) * static_cast<size_t>(components)};
    const bool made = MakeMipmapLevels(picture, w0, h0, UploadRows, &uploadFormat);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return made;
}
