// The headless backend's drawing surfaces and GL contexts, apart from the
// rest of it (input, time, message boxes): EGL pbuffers on Mesa's
// surfaceless platform (headless_egl.cpp). Where the system has no
// off-screen GL, as in the Windows build of the tests, headless_no_gl.cpp
// refuses to make them and the GL-free rest works all the same.
#pragma once

#include <string>

#include "platform/platform.h"

struct HeadlessSurface;

// A surface of the given size (at least one pixel) for the pixel format;
// null, with the reason in *error, when it cannot be made.
HeadlessSurface* HeadlessGlCreateSurface(const PixelFormatRequest& format, int width, int height, std::string* error);
// Gives the surface a new size, keeping it current if it was; false, with
// the surface as it was, when that cannot be done.
bool HeadlessGlResizeSurface(HeadlessSurface* surface, int width, int height);
// Releases the current context first if it draws into the surface.
void HeadlessGlDestroySurface(HeadlessSurface* surface);

GlContextHandle HeadlessGlCreateContext(HeadlessSurface* surface, std::string* error);
// Null surface or context: no context is current afterwards.
bool HeadlessGlMakeCurrent(HeadlessSurface* surface, GlContextHandle context);
// Releases the context first if it is current.
void HeadlessGlDeleteContext(GlContextHandle context);
bool HeadlessGlHasCurrentContext();
