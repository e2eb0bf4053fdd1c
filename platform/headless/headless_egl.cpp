// The headless backend's surfaces: EGL pbuffers on Mesa's surfaceless
// platform, desktop OpenGL in the compatibility profile. No display server
// is needed.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/headless/headless_gl.h"

struct HeadlessSurface {
    EGLConfig config;
    EGLSurface surface;
};

struct PlatformGlContext {
    EGLContext eglContext;
};

namespace {

EGLDisplay display = EGL_NO_DISPLAY;

bool EnsureDisplay(std::string* error) {
    if (display != EGL_NO_DISPLAY) return true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        *error = "EGL has no platform displays";
        return false;
    }
    EGLDisplay candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (candidate == EGL_NO_DISPLAY || eglInitialize(candidate, &major, &minor) != EGL_TRUE) {
        *error = "cannot open the surfaceless EGL display";
        return false;
    }
    display = candidate;
    return true;
}

EGLSurface CreatePbuffer(EGLConfig config, int width, int height) {
    // A pbuffer cannot be empty; a minimised client still draws into one pixel.
    const EGLint attributes[] = {EGL_WIDTH, width > 0 ? width : 1, EGL_HEIGHT, height > 0 ? height : 1, EGL_NONE};
    return eglCreatePbufferSurface(display, config, attributes);
}

}  // namespace

HeadlessSurface* HeadlessGlCreateSurface(const PixelFormatRequest& format, int width, int height, std::string* error) {
    if (!EnsureDisplay(error)) return nullptr;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, format.redBits,
                                       EGL_GREEN_SIZE, format.greenBits,
                                       EGL_BLUE_SIZE, format.blueBits,
                                       EGL_DEPTH_SIZE, format.depthBits,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE || configCount < 1) {
        *error = "no EGL configuration fits the pixel format";
        return nullptr;
    }
    EGLSurface surface = CreatePbuffer(config, width, height);
    if (surface == EGL_NO_SURFACE) {
        *error = "cannot create the EGL pbuffer";
        return nullptr;
    }
    return new HeadlessSurface{config, surface};
}

bool HeadlessGlResizeSurface(HeadlessSurface* surface, int width, int height) {
    EGLSurface resized = CreatePbuffer(surface->config, width, height);
    if (resized == EGL_NO_SURFACE) return false;
    if (eglGetCurrentSurface(EGL_DRAW) == surface->surface) {
        eglMakeCurrent(display, resized, resized, eglGetCurrentContext());
    }
    eglDestroySurface(display, surface->surface);
    surface->surface = resized;
    return true;
}

void HeadlessGlDestroySurface(HeadlessSurface* surface) {
    if (eglGetCurrentSurface(EGL_DRAW) == surface->surface) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroySurface(display, surface->surface);
    delete surface;
}

GlContextHandle HeadlessGlCreateContext(HeadlessSurface* surface, std::string* error) {
    eglBindAPI(EGL_OPENGL_API);
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, surface->config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        *error = "cannot create the OpenGL context";
        return nullptr;
    }
    return new PlatformGlContext{context};
}

bool HeadlessGlMakeCurrent(HeadlessSurface* surface, GlContextHandle context) {
    if (surface == nullptr || context == nullptr) {
        return eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
    }
    return eglMakeCurrent(display, surface->surface, surface->surface, context->eglContext) == EGL_TRUE;
}

void HeadlessGlDeleteContext(GlContextHandle context) {
    if (context == nullptr) return;
    if (eglGetCurrentContext() == context->eglContext) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display, context->eglContext);
    delete context;
}

bool HeadlessGlHasCurrentContext() { return eglGetCurrentContext() != EGL_NO_CONTEXT; }
