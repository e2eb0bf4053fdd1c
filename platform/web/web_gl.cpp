// The OpenGL 1.1 that the program draws with, on WebGL: immediate mode, the
// two matrix stacks, texturing modulated by the current colour, wide lines,
// glyph bitmaps in display lists and the raster position, with the state the
// program pushes and pops. The program's GL calls stay as they are written;
// the calls that WebGL has as they are (clearing, textures' names and
// parameters, queries) go to it directly.
//
// What this GL does as the desktop's does, where WebGL alone would not:
// - a quadrilateral is two triangles split along its 0-2 diagonal, as Mesa
//   splits it, so that textures are interpolated alike;
// - a line wider than one pixel is widened across its major axis in window
//   pixels, and never culled;
// - a texture without a complete set of levels (or none bound) leaves the
//   geometry untextured, as the fixed-function pipeline does, not black;
// - internal formats 3 and 4 are GL_RGB and GL_RGBA;
// - pixel-store settings that WebGL lacks are accepted at their defaults.
// Left out, as the program never asks for them: texturing for bitmaps (they
// take the raster colour), primitives other than lines and quadrilaterals,
// and any texture mode but GL_MODULATE.
#include <GL/gl.h>
#include <webgl/webgl1.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/web/web_gl.h"

namespace {

struct Matrix {
    float m[16];  // column-major, as GL keeps it
};

Matrix Identity() { return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
            r.m[col * 4 + row] = sum;
        }
    }
    return r;
}

void Transform(const Matrix& a, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = a.m[row] * in[0] + a.m[4 + row] * in[1] + a.m[8 + row] * in[2] + a.m[12 + row] * in[3];
    }
}

struct Vertex {
    float position[4];
    float texCoord[2];
    float colour[4];
};

// One glBitmap: its bits as a byte a pixel (255 where a bit is set), bottom
// row first, and its placement; the texture is made at its first drawing.
struct Bitmap {
    int width;
    int height;
    float xOrigin;
    float yOrigin;
    float xMove;
    float yMove;
    std::vector<uint8_t> mask;
    GLuint texture;
};

// What the program pushes with glPushAttrib: the viewport, the matrix mode,
// the display-list base, the switches it turns on and off, and the current
// colour, texture coordinate and raster position.
struct AttribFrame {
    GLbitfield mask;
    int viewport[4];
    GLenum matrixMode;
    GLuint listBase;
    bool texturing;
    bool depthTest;
    bool culling;
    float colour[4];
    float texCoord[2];
    bool rasterValid;
    float raster[3];
    float rasterColour[4];
};

// Whether a texture has what sampling needs: the fixed-function pipeline
// leaves unusable textures out instead of sampling black.
struct TextureLevels {
    int width = 0;
    int height = 0;
    unsigned levels = 0;  // bit k: level k defined
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

enum DrawMode : int { PLAIN = 0, TEXTURED = 1, BITMAP = 2 };

struct Layer {
    bool ready = false;
    GLuint program = 0;
    GLuint buffer = 0;
    GLint positionAt = -1;
    GLint texCoordAt = -1;
    GLint colourAt = -1;
    GLint matrixAt = -1;
    GLint modeAt = -1;
    GLint samplerAt = -1;

    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelview{Identity()};
    std::vector<Matrix> projection{Identity()};
    int viewport[4] = {0, 0, 0, 0};
    bool texturing = false;
    bool depthTest = false;
    bool culling = false;
    float colour[4] = {1, 1, 1, 1};
    float texCoord[2] = {0, 0};
    float lineWidth = 1.0f;
    GLint unpackAlignment = 4;

    bool inBegin = false;
    GLenum primitive = GL_LINES;
    std::vector<Vertex> vertices;
    std::vector<Vertex> drawn;

    bool rasterValid = true;
    float raster[3] = {0, 0, 0};  // window x, y and depth
    float rasterColour[4] = {1, 1, 1, 1};

    GLuint nextList = 1;
    std::map<GLuint, std::vector<Bitmap>> lists;
    GLuint compiling = 0;
    GLuint listBase = 0;
    std::vector<AttribFrame> attribs;
    std::vector<GLint> clientAttribs;

    GLuint boundTexture = 0;
    std::map<GLuint, TextureLevels> textures;
};

Layer layer;

const char* const VERTEX_SHADER =
    "attribute vec4 position;\n"
    "attribute vec2 texCoord;\n"
    "attribute vec4 colour;\n"
    "uniform mat4 matrix;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "  gl_Position = matrix * position;\n"
    "  vTexCoord = texCoord;\n"
    "  vColour = colour;\n"
    "}\n";

// highp: the texture coordinates of a 2048-texel-wide rule need it.
const char* const FRAGMENT_SHADER =
    "precision highp float;\n"
    "uniform sampler2D sampler;\n"
    "uniform int mode;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "  if (mode == 1) {\n"
    "    gl_FragColor = texture2D(sampler, vTexCoord) * vColour;\n"
    "  } else if (mode == 2) {\n"
    "    if (texture2D(sampler, vTexCoord).a < 0.5) discard;\n"
    "    gl_FragColor = vColour;\n"
    "  } else {\n"
    "    gl_FragColor = vColour;\n"
    "  }\n"
    "}\n";

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = emscripten_glCreateShader(kind);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "Vernaskel: the drawing shader does not compile: %s\n", log);
    }
    return shader;
}

bool EnsureReady() {
    if (layer.ready) return true;
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, CompileShader(GL_VERTEX_SHADER, VERTEX_SHADER));
    emscripten_glAttachShader(program, CompileShader(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    layer.program = program;
    layer.positionAt = emscripten_glGetAttribLocation(program, "position");
    layer.texCoordAt = emscripten_glGetAttribLocation(program, "texCoord");
    layer.colourAt = emscripten_glGetAttribLocation(program, "colour");
    layer.matrixAt = emscripten_glGetUniformLocation(program, "matrix");
    layer.modeAt = emscripten_glGetUniformLocation(program, "mode");
    layer.samplerAt = emscripten_glGetUniformLocation(program, "sampler");
    emscripten_glGenBuffers(1, &layer.buffer);
    emscripten_glUseProgram(program);
    emscripten_glUniform1i(layer.samplerAt, 0);
    layer.ready = true;
    return true;
}

std::vector<Matrix>& CurrentStack() {
    return layer.matrixMode == GL_PROJECTION ? layer.projection : layer.modelview;
}

Matrix EyeToClip() { return Multiply(layer.projection.back(), layer.modelview.back()); }

bool TextureUsable(GLuint name) {
    const auto found = layer.textures.find(name);
    if (name == 0 || found == layer.textures.end()) return false;
    const TextureLevels& t = found->second;
    if ((t.levels & 1u) == 0 || t.width < 1 || t.height < 1) return false;
    const bool mipmapped = t.minFilter != GL_NEAREST && t.minFilter != GL_LINEAR;
    if (!mipmapped) return true;
    int levels = 0;
    while ((t.width >> levels) > 1 || (t.height >> levels) > 1) ++levels;
    for (int k = 0; k <= levels; ++k) {
        if ((t.levels & (1u << k)) == 0) return false;
    }
    return true;
}

void Draw(GLenum mode, const std::vector<Vertex>& vertices, const Matrix& matrix, DrawMode drawMode) {
    if (vertices.empty() || !EnsureReady()) return;
    emscripten_glUseProgram(layer.program);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, layer.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                            GL_STREAM_DRAW);
    const GLsizei stride = sizeof(Vertex);
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(layer.positionAt));
    emscripten_glVertexAttribPointer(static_cast<GLuint>(layer.positionAt), 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, position)));
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(layer.texCoordAt));
    emscripten_glVertexAttribPointer(static_cast<GLuint>(layer.texCoordAt), 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, texCoord)));
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(layer.colourAt));
    emscripten_glVertexAttribPointer(static_cast<GLuint>(layer.colourAt), 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    emscripten_glUniformMatrix4fv(layer.matrixAt, 1, GL_FALSE, matrix.m);
    emscripten_glUniform1i(layer.modeAt, drawMode);
    emscripten_glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

// A line wider than a pixel: a band across the line's major axis in window
// pixels, drawn in clip coordinates so that depth is interpolated as for
// the line itself.
void AddWideLine(const Vertex& a, const Vertex& b, const Matrix& toClip, std::vector<Vertex>* out) {
    float clipA[4];
    float clipB[4];
    Transform(toClip, a.position, clipA);
    Transform(toClip, b.position, clipB);
    if (clipA[3] <= 0.0f || clipB[3] <= 0.0f) return;
    const float width = static_cast<float>(layer.viewport[2] > 0 ? layer.viewport[2] : 1);
    const float height = static_cast<float>(layer.viewport[3] > 0 ? layer.viewport[3] : 1);
    const float dx = (clipB[0] / clipB[3] - clipA[0] / clipA[3]) * width;
    const float dy = (clipB[1] / clipB[3] - clipA[1] / clipA[3]) * height;
    const float half = layer.lineWidth * 0.5f;
    // Half the width, as a change of normalised device coordinates.
    float offset[2] = {0.0f, 0.0f};
    if (std::fabs(dx) >= std::fabs(dy)) {
        offset[1] = 2.0f * half / height;
    } else {
        offset[0] = 2.0f * half / width;
    }
    auto corner = [&](const Vertex& v, const float clip[4], float side) {
        Vertex c = v;
        c.position[0] = clip[0] + side * offset[0] * clip[3];
        c.position[1] = clip[1] + side * offset[1] * clip[3];
        c.position[2] = clip[2];
        c.position[3] = clip[3];
        return c;
    };
    const Vertex a0 = corner(a, clipA, -1.0f);
    const Vertex a1 = corner(a, clipA, 1.0f);
    const Vertex b0 = corner(b, clipB, -1.0f);
    const Vertex b1 = corner(b, clipB, 1.0f);
    out->insert(out->end(), {a0, a1, b1, a0, b1, b0});
}

DrawMode ModeForTexturing() { return layer.texturing && TextureUsable(layer.boundTexture) ? TEXTURED : PLAIN; }

void FlushPrimitive() {
    std::vector<Vertex>& v = layer.vertices;
    std::vector<Vertex>& drawn = layer.drawn;
    drawn.clear();
    const DrawMode mode = ModeForTexturing();
    if (layer.primitive == GL_QUADS) {
        // Split along the 0-2 diagonal, as Mesa splits a quadrilateral.
        for (size_t q = 0; q + 3 < v.size(); q += 4) {
            drawn.insert(drawn.end(), {v[q], v[q + 1], v[q + 2], v[q], v[q + 2], v[q + 3]});
        }
        Draw(GL_TRIANGLES, drawn, EyeToClip(), mode);
    } else if (layer.primitive == GL_LINES) {
        if (layer.lineWidth <= 1.0f) {
            const size_t count = v.size() - v.size() % 2;
            drawn.assign(v.begin(), v.begin() + static_cast<long>(count));
            Draw(GL_LINES, drawn, EyeToClip(), mode);
        } else {
            const Matrix toClip = EyeToClip();
            for (size_t k = 0; k + 1 < v.size(); k += 2) AddWideLine(v[k], v[k + 1], toClip, &drawn);
            // Lines are never culled, whichever way their bands wind.
            if (layer.culling) emscripten_glDisable(GL_CULL_FACE);
            Draw(GL_TRIANGLES, drawn, Identity(), mode);
            if (layer.culling) emscripten_glEnable(GL_CULL_FACE);
        }
    }
    v.clear();
}

// Draws one bitmap at the raster position in the raster colour and moves
// the raster position on.
void DrawBitmap(Bitmap* bitmap) {
    if (layer.rasterValid && bitmap->width > 0 && bitmap->height > 0 && EnsureReady()) {
        if (bitmap->texture == 0) {
            emscripten_glGenTextures(1, &bitmap->texture);
            emscripten_glBindTexture(GL_TEXTURE_2D, bitmap->texture);
            emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, bitmap->width, bitmap->height, 0, GL_ALPHA,
                                    GL_UNSIGNED_BYTE, bitmap->mask.data());
            emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, layer.unpackAlignment);
            emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        } else {
            emscripten_glBindTexture(GL_TEXTURE_2D, bitmap->texture);
        }
        // The bitmap's pixels in window coordinates, as clip coordinates of
        // the current viewport.
        const float left = std::floor(layer.raster[0] - bitmap->xOrigin);
        const float bottom = std::floor(layer.raster[1] - bitmap->yOrigin);
        const float w = static_cast<float>(layer.viewport[2] > 0 ? layer.viewport[2] : 1);
        const float h = static_cast<float>(layer.viewport[3] > 0 ? layer.viewport[3] : 1);
        auto clipX = [&](float x) { return 2.0f * (x - static_cast<float>(layer.viewport[0])) / w - 1.0f; };
        auto clipY = [&](float y) { return 2.0f * (y - static_cast<float>(layer.viewport[1])) / h - 1.0f; };
        const float x0 = clipX(left);
        const float x1 = clipX(left + static_cast<float>(bitmap->width));
        const float y0 = clipY(bottom);
        const float y1 = clipY(bottom + static_cast<float>(bitmap->height));
        const float z = layer.raster[2] * 2.0f - 1.0f;
        auto corner = [&](float x, float y, float s, float t) {
            return Vertex{{x, y, z, 1.0f},
                          {s, t},
                          {layer.rasterColour[0], layer.rasterColour[1], layer.rasterColour[2], layer.rasterColour[3]}};
        };
        const std::vector<Vertex> quad = {corner(x0, y0, 0, 0), corner(x1, y0, 1, 0), corner(x1, y1, 1, 1),
                                          corner(x0, y0, 0, 0), corner(x1, y1, 1, 1), corner(x0, y1, 0, 1)};
        if (layer.culling) emscripten_glDisable(GL_CULL_FACE);
        Draw(GL_TRIANGLES, quad, Identity(), BITMAP);
        if (layer.culling) emscripten_glEnable(GL_CULL_FACE);
        emscripten_glBindTexture(GL_TEXTURE_2D, layer.boundTexture);
    }
    layer.raster[0] += bitmap->xMove;
    layer.raster[1] += bitmap->yMove;
}

void SetUnpackAlignment(GLint alignment) {
    layer.unpackAlignment = alignment;
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

void WebGlContextMade() {
    layer = Layer{};
    GLint viewport[4] = {0, 0, 0, 0};
    emscripten_glGetIntegerv(GL_VIEWPORT, viewport);
    std::memcpy(layer.viewport, viewport, sizeof viewport);
}

// --- Enables, viewport, lines -------------------------------------------------

void glEnable(GLenum cap) {
    if (cap == GL_TEXTURE_2D) {
        layer.texturing = true;
        return;
    }
    if (cap == GL_CULL_FACE) layer.culling = true;
    if (cap == GL_DEPTH_TEST) layer.depthTest = true;
    emscripten_glEnable(cap);
}

void glDisable(GLenum cap) {
    if (cap == GL_TEXTURE_2D) {
        layer.texturing = false;
        return;
    }
    if (cap == GL_CULL_FACE) layer.culling = false;
    if (cap == GL_DEPTH_TEST) layer.depthTest = false;
    emscripten_glDisable(cap);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    layer.viewport[0] = x;
    layer.viewport[1] = y;
    layer.viewport[2] = width;
    layer.viewport[3] = height;
    emscripten_glViewport(x, y, width, height);
}

void glLineWidth(GLfloat width) { layer.lineWidth = width; }

void glTexEnvi(GLenum, GLenum, GLint) {}

// --- Matrices -------------------------------------------------------------------

void glMatrixMode(GLenum mode) { layer.matrixMode = mode; }
void glLoadIdentity() { CurrentStack().back() = Identity(); }
void glPushMatrix() { CurrentStack().push_back(CurrentStack().back()); }

void glPopMatrix() {
    std::vector<Matrix>& stack = CurrentStack();
    if (stack.size() > 1) stack.pop_back();
}

void glMultMatrixf(const GLfloat* m) {
    Matrix b{};
    std::memcpy(b.m, m, sizeof b.m);
    CurrentStack().back() = Multiply(CurrentStack().back(), b);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    Matrix t = Identity();
    t.m[12] = static_cast<float>(x);
    t.m[13] = static_cast<float>(y);
    t.m[14] = static_cast<float>(z);
    CurrentStack().back() = Multiply(CurrentStack().back(), t);
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal) {
    Matrix f{};
    f.m[0] = static_cast<float>(2.0 * nearVal / (right - left));
    f.m[5] = static_cast<float>(2.0 * nearVal / (top - bottom));
    f.m[8] = static_cast<float>((right + left) / (right - left));
    f.m[9] = static_cast<float>((top + bottom) / (top - bottom));
    f.m[10] = static_cast<float>(-(farVal + nearVal) / (farVal - nearVal));
    f.m[11] = -1.0f;
    f.m[14] = static_cast<float>(-2.0 * farVal * nearVal / (farVal - nearVal));
    CurrentStack().back() = Multiply(CurrentStack().back(), f);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal) {
    Matrix o = Identity();
    o.m[0] = static_cast<float>(2.0 / (right - left));
    o.m[5] = static_cast<float>(2.0 / (top - bottom));
    o.m[10] = static_cast<float>(-2.0 / (farVal - nearVal));
    o.m[12] = static_cast<float>(-(right + left) / (right - left));
    o.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    o.m[14] = static_cast<float>(-(farVal + nearVal) / (farVal - nearVal));
    CurrentStack().back() = Multiply(CurrentStack().back(), o);
}

// --- Immediate mode -------------------------------------------------------------

void glBegin(GLenum mode) {
    layer.inBegin = true;
    layer.primitive = mode;
    layer.vertices.clear();
}

void glEnd() {
    layer.inBegin = false;
    FlushPrimitive();
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    Vertex v{{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1.0f},
             {layer.texCoord[0], layer.texCoord[1]},
             {layer.colour[0], layer.colour[1], layer.colour[2], layer.colour[3]}};
    if (layer.inBegin) layer.vertices.push_back(v);
}

void glTexCoord2d(GLdouble s, GLdouble t) {
    layer.texCoord[0] = static_cast<float>(s);
    layer.texCoord[1] = static_cast<float>(t);
}

// Colours are clamped to [0, 1] as GL clamps them.
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    const float rgb[3] = {r, g, b};
    for (int k = 0; k < 3; ++k) layer.colour[k] = rgb[k] < 0.0f ? 0.0f : (rgb[k] > 1.0f ? 1.0f : rgb[k]);
    layer.colour[3] = 1.0f;
}

void glColor3d(GLdouble r, GLdouble g, GLdouble b) {
    glColor3f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

// --- Textures ---------------------------------------------------------------

void glBindTexture(GLenum target, GLuint texture) {
    layer.boundTexture = texture;
    emscripten_glBindTexture(target, texture);
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
    for (GLsizei k = 0; k < n; ++k) layer.textures.erase(textures[k]);
    emscripten_glDeleteTextures(n, textures);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    // The old counts of components name the formats.
    if (internalFormat == 3) internalFormat = GL_RGB;
    if (internalFormat == 4) internalFormat = GL_RGBA;
    if (target == GL_TEXTURE_2D && level >= 0 && level < 32) {
        TextureLevels& t = layer.textures[layer.boundTexture];
        if (level == 0) {
            t.width = width;
            t.height = height;
        }
        t.levels |= 1u << level;
    }
    emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (target == GL_TEXTURE_2D && name == GL_TEXTURE_MIN_FILTER) layer.textures[layer.boundTexture].minFilter = value;
    emscripten_glTexParameteri(target, name, value);
}

// Only the alignments are WebGL's; the other settings are taken at their
// defaults, the only values the program gives them.
void glPixelStorei(GLenum name, GLint value) {
    if (name == GL_UNPACK_ALIGNMENT) {
        SetUnpackAlignment(value);
    } else if (name == GL_PACK_ALIGNMENT) {
        emscripten_glPixelStorei(name, value);
    } else if (value != 0) {
        std::fprintf(stderr, "Vernaskel: pixel-store setting 0x%x = %d is not supported in the browser\n", name, value);
    }
}

// Only proxies ask this, which a GL without them (as this one reads by its
// version) is never asked for: no level fits.
void glGetTexLevelParameteriv(GLenum, GLint, GLenum, GLint* params) { *params = 0; }

// --- Display lists, bitmaps, the raster position --------------------------------

GLuint glGenLists(GLsizei range) {
    if (range <= 0) return 0;
    const GLuint first = layer.nextList;
    layer.nextList += static_cast<GLuint>(range);
    return first;
}

void glNewList(GLuint list, GLenum) {
    layer.compiling = list;
    for (Bitmap& b : layer.lists[list]) {
        if (b.texture != 0) emscripten_glDeleteTextures(1, &b.texture);
    }
    layer.lists[list].clear();
}

void glEndList() { layer.compiling = 0; }

void glListBase(GLuint base) { layer.listBase = base; }

void glBitmap(GLsizei width, GLsizei height, GLfloat xOrigin, GLfloat yOrigin, GLfloat xMove, GLfloat yMove,
              const GLubyte* bits) {
    Bitmap bitmap{width, height, xOrigin, yOrigin, xMove, yMove, {}, 0};
    if (width > 0 && height > 0 && bits != nullptr) {
        // Rows of whole bytes, most significant bit first, each row padded
        // to the unpack alignment.
        const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
        const size_t alignment = static_cast<size_t>(layer.unpackAlignment > 0 ? layer.unpackAlignment : 1);
        const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
        bitmap.mask.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                const uint8_t byte = bits[static_cast<size_t>(row) * stride + static_cast<size_t>(x / 8)];
                const bool set = (byte & (0x80u >> (x % 8))) != 0;
                bitmap.mask[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                    set ? 255 : 0;
            }
        }
    }
    if (layer.compiling != 0) {
        layer.lists[layer.compiling].push_back(std::move(bitmap));
    } else {
        DrawBitmap(&bitmap);
        if (bitmap.texture != 0) emscripten_glDeleteTextures(1, &bitmap.texture);
    }
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    if (type != GL_UNSIGNED_BYTE || lists == nullptr) return;
    const auto* codes = static_cast<const GLubyte*>(lists);
    for (GLsizei k = 0; k < n; ++k) {
        const auto found = layer.lists.find(layer.listBase + codes[k]);
        if (found == layer.lists.end()) continue;
        for (Bitmap& bitmap : found->second) DrawBitmap(&bitmap);
    }
}

void glRasterPos4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    const float eye[4] = {x, y, z, w};
    float clip[4];
    Transform(EyeToClip(), eye, clip);
    layer.rasterValid = clip[3] > 0.0f && std::fabs(clip[0]) <= clip[3] && std::fabs(clip[1]) <= clip[3] &&
                        std::fabs(clip[2]) <= clip[3];
    if (!layer.rasterValid) return;
    const float ndc[3] = {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
    layer.raster[0] = static_cast<float>(layer.viewport[0]) + (ndc[0] + 1.0f) * 0.5f * static_cast<float>(layer.viewport[2]);
    layer.raster[1] = static_cast<float>(layer.viewport[1]) + (ndc[1] + 1.0f) * 0.5f * static_cast<float>(layer.viewport[3]);
    layer.raster[2] = (ndc[2] + 1.0f) * 0.5f;
    std::memcpy(layer.rasterColour, layer.colour, sizeof layer.rasterColour);
}

void glPushAttrib(GLbitfield mask) {
    AttribFrame frame{};
    frame.mask = mask;
    std::memcpy(frame.viewport, layer.viewport, sizeof frame.viewport);
    frame.matrixMode = layer.matrixMode;
    frame.listBase = layer.listBase;
    frame.texturing = layer.texturing;
    frame.depthTest = layer.depthTest;
    frame.culling = layer.culling;
    std::memcpy(frame.colour, layer.colour, sizeof frame.colour);
    std::memcpy(frame.texCoord, layer.texCoord, sizeof frame.texCoord);
    frame.rasterValid = layer.rasterValid;
    std::memcpy(frame.raster, layer.raster, sizeof frame.raster);
    std::memcpy(frame.rasterColour, layer.rasterColour, sizeof frame.rasterColour);
    layer.attribs.push_back(frame);
}

void glPopAttrib() {
    if (layer.attribs.empty()) return;
    const AttribFrame frame = layer.attribs.back();
    layer.attribs.pop_back();
    if ((frame.mask & GL_VIEWPORT_BIT) != 0) {
        glViewport(frame.viewport[0], frame.viewport[1], frame.viewport[2], frame.viewport[3]);
    }
    if ((frame.mask & GL_TRANSFORM_BIT) != 0) layer.matrixMode = frame.matrixMode;
    if ((frame.mask & GL_LIST_BIT) != 0) layer.listBase = frame.listBase;
    if ((frame.mask & GL_ENABLE_BIT) != 0) {
        layer.texturing = frame.texturing;
        frame.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        frame.culling ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    }
    if ((frame.mask & GL_CURRENT_BIT) != 0) {
        std::memcpy(layer.colour, frame.colour, sizeof layer.colour);
        std::memcpy(layer.texCoord, frame.texCoord, sizeof layer.texCoord);
        layer.rasterValid = frame.rasterValid;
        std::memcpy(layer.raster, frame.raster, sizeof layer.raster);
        std::memcpy(layer.rasterColour, frame.rasterColour, sizeof layer.rasterColour);
    }
}

void glPushClientAttrib(GLbitfield) { layer.clientAttribs.push_back(layer.unpackAlignment); }

void glPopClientAttrib() {
    if (layer.clientAttribs.empty()) return;
    SetUnpackAlignment(layer.clientAttribs.back());
    layer.clientAttribs.pop_back();
}
