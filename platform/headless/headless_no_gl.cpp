// The headless backend where the system offers no off-screen GL (the
// Windows build of the tests): no surface can be made, so no headless
// window either; input, time and message boxes work as everywhere.
#include "platform/headless/headless_gl.h"

HeadlessSurface* HeadlessGlCreateSurface(const PixelFormatRequest&, int, int, std::string* error) {
    *error = "cannot create the window: the headless backend draws only through EGL, which this system lacks";
    return nullptr;
}

// Without surfaces there is nothing below to resize, destroy or draw into.
bool HeadlessGlResizeSurface(HeadlessSurface*, int, int) { return false; }
void HeadlessGlDestroySurface(HeadlessSurface*) {}

GlContextHandle HeadlessGlCreateContext(HeadlessSurface*, std::string* error) {
    *error = "cannot create the OpenGL context: no off-screen OpenGL on this system";
    return nullptr;
}

bool HeadlessGlMakeCurrent(HeadlessSurface* surface, GlContextHandle context) {
    return surface == nullptr || context == nullptr;
}
void HeadlessGlDeleteContext(GlContextHandle) {}
bool HeadlessGlHasCurrentContext() { return false; }
