// The program's backend: an SDL2 window with an OpenGL context.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/backend.h"

struct PlatformWindow {
    SDL_Window* sdlWindow;
    // The size the whole window, frame included, is to have: the screen's.
    int outerWidth;
    int outerHeight;
    // Whether the window has been fitted to a frame the window manager reported.
    bool frameFitted;
};

struct PlatformGlContext {
    SDL_GLContext sdlContext;
};

namespace {

std::string lastError;

// The cursor as it was when the pending events were last collected. Every
// cursor read between two drains gives this one position, so motion that
// arrives while a frame runs is seen by the next frame whole instead of
// being split between the reads of one frame.
struct CursorAtDrain {
    bool taken;
    int32_t x;
    int32_t y;
};
CursorAtDrain cursorAtDrain = {false, 0, 0};

// SDL's global query can answer with a position cached from long before; the
// position it tracks from the window's own motion events, plus the window's
// place, is current once the pending events are collected.
void TakeCursorPosition() {
    PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr) {
        cursorAtDrain.taken = false;
        return;
    }
    int windowX = 0;
    int windowY = 0;
    SDL_GetMouseState(&windowX, &windowY);
    int originX = 0;
    int originY = 0;
    SDL_GetWindowPosition(window->sdlWindow, &originX, &originY);
    cursorAtDrain = CursorAtDrain{true, originX + windowX, originY + windowY};
}

bool EnsureVideo() {
    static bool failed = false;  // say why once, not on every call
    if (failed) return false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    failed = true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        lastError = std::string("cannot open the display: ") + SDL_GetError();
        return false;
    }
    // With no display SDL falls back to drivers that show nothing; a program
    // that runs unseen is worse than one that says why it cannot start. They
    // stay usable when asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (invisible && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // A display is named, yet SDL could not reach it: an X server that
        // is busy can refuse a connection for a moment (seen on a loaded
        // machine), so ask for it by name a few times before giving up.
        const char* display = SDL_getenv("DISPLAY");
        if (display == nullptr || display[0] == '\0') {
            lastError = "cannot open the display: no X11 or Wayland display is available (is DISPLAY set?)";
            return false;
        }
        for (int attempt = 1; attempt <= 5; ++attempt) {
            SDL_Delay(100 * attempt);
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
                failed = false;
                return true;
            }
        }
        lastError = std::string("cannot open the display ") + display + ": " + SDL_GetError();
        return false;
    }
    failed = false;
    return true;
}

// Translates an SDL key to the virtual-key code the program uses; -1 for keys
// the program has no code for.
int VirtualKeyOf(const SDL_Keysym& key) {
    const SDL_Keycode code = key.sym;
    if (code >= SDLK_0 && code <= SDLK_9) return VK_0 + (code - SDLK_0);
    if (code >= SDLK_a && code <= SDLK_z) return VK_A + (code - SDLK_a);
    if (code >= SDLK_KP_1 && code <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (code - SDLK_KP_1);
    switch (code) {
        case SDLK_KP_0: return VK_NUMPAD0;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_KP_PLUS: return VK_ADD;
        case SDLK_KP_MINUS: return VK_SUBTRACT;
        case SDLK_LSHIFT: return VK_LSHIFT;
        case SDLK_RSHIFT: return VK_RSHIFT;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_F1: return VK_F1;
        case SDLK_RETURN: return VK_RETURN;
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_TAB: return VK_TAB;
        case SDLK_BACKSPACE: return VK_BACK;
        default: return -1;
    }
}

void PostClientSize(PlatformWindow* window) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window->sdlWindow, &width, &height);
    PlatformPostMessage(window, WM_SIZE, 0, MakeSizeParam(width, height));
}

// The window is made with its client area the screen's size, as that is all
// that can be asked before there is a frame. A window manager reports its
// frame some moments after the window is shown; once it has, the window is
// made to fit: the frame's outer edge on the screen's, the client area what
// is left inside. Without a window manager the frame stays zero and the
// client area the screen. Done once: later sizes are the user's.
void FitWindowToFrame(PlatformWindow* window) {
    if (window->frameFitted) return;
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (SDL_GetWindowBordersSize(window->sdlWindow, &top, &left, &bottom, &right) != 0) return;
    if (top <= 0 && left <= 0 && bottom <= 0 && right <= 0) return;
    window->frameFitted = true;
    const int clientWidth = window->outerWidth - left - right;
    const int clientHeight = window->outerHeight - top - bottom;
    if (clientWidth <= 0 || clientHeight <= 0) return;
    SDL_SetWindowSize(window->sdlWindow, clientWidth, clientHeight);
    SDL_SetWindowPosition(window->sdlWindow, left, top);
}

void HandleWindowEvent(PlatformWindow* window, const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Another window took the keyboard: what was held is let go.
            PlatformReleaseHeldInput(window);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
            PostClientSize(window);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            PlatformPostMessage(window, WM_SIZE, 0, MakeSizeParam(0, 0));
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            PlatformPostMessage(window, WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PlatformPostMessage(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

}  // namespace

int PlatformScreenWidth() {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    return mode.w;
}

int PlatformScreenHeight() {
    SDL_DisplayMode mode;
    if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    return mode.h;
}

WindowHandle PlatformCreateWindow(const char* title, int x, int y, int width, int height,
                                  const PixelFormatRequest& format, WindowProc proc) {
    if (!EnsureVideo()) return nullptr;
    if (width <= 0 || height <= 0) {
        lastError = "the screen size is not known";
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.redBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.greenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.blueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    SDL_Window* sdlWindow = SDL_CreateWindow(title, x, y, width, height,
                                             SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (sdlWindow == nullptr) {
        lastError = std::string("cannot create the window: ") + SDL_GetError();
        return nullptr;
    }
    auto* window = new PlatformWindow{sdlWindow, width, height, false};
    if (!PlatformAdoptWindow(window, proc)) {
        if (lastError.empty()) lastError = "the window refused its creation";
        return nullptr;
    }
    return window;
}

void PlatformShowWindow(WindowHandle window) {
    SDL_ShowWindow(window->sdlWindow);
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window->sdlWindow, &width, &height);
    PlatformSendMessage(window, WM_SIZE, 0, MakeSizeParam(width, height));
}

void BackendFreeWindow(WindowHandle window) {
    SDL_DestroyWindow(window->sdlWindow);
    delete window;
}

GlContextHandle PlatformCreateGlContext(WindowHandle window) {
    SDL_GLContext context = SDL_GL_CreateContext(window->sdlWindow);
    if (context == nullptr) {
        lastError = std::string("cannot create the OpenGL context: ") + SDL_GetError();
        return nullptr;
    }
    return new PlatformGlContext{context};
}

bool PlatformMakeCurrent(WindowHandle window, GlContextHandle context) {
    if (context == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (SDL_GL_MakeCurrent(window->sdlWindow, context->sdlContext) != 0) {
        lastError = std::string("cannot make the OpenGL context current: ") + SDL_GetError();
        return false;
    }
    return true;
}

void PlatformDeleteGlContext(GlContextHandle context) {
    if (context == nullptr) return;
    SDL_GL_DeleteContext(context->sdlContext);
    delete context;
}

void PlatformSwapBuffers() {
    SDL_Window* current = SDL_GL_GetCurrentWindow();
    if (current != nullptr) SDL_GL_SwapWindow(current);
}

const char* PlatformLastError() { return lastError.c_str(); }

double PlatformTextScale() { return 1.0; }
bool PlatformKeepsProportions() { return false; }

void BackendPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        PlatformWindow* window = PlatformMainWindow();
        if (window == nullptr) continue;
        switch (event.type) {
            case SDL_QUIT:
                // An interrupt or the session ending: close as the close box does.
                PlatformPostMessage(window, WM_CLOSE, 0, 0);
                break;
            case SDL_WINDOWEVENT:
                HandleWindowEvent(window, event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int virtualKey = VirtualKeyOf(event.key.keysym);
                if (virtualKey < 0) break;
                PlatformKeyEvent(window, virtualKey, event.type == SDL_KEYDOWN);
                break;
            }
            case SDL_TEXTINPUT:
                PlatformTextEvent(window, event.text.text);
                break;
            case SDL_MOUSEWHEEL: {
                // Notches away from the user zoom in; a wheel set to run the
                // other way says so.
                const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                if (notches != 0) PlatformPostMessage(window, WM_MOUSEWHEEL, MakeWheelParam(notches * WHEEL_DELTA), 0);
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const bool left = event.button.button == SDL_BUTTON_LEFT;
                if (!left && event.button.button != SDL_BUTTON_RIGHT) break;
                PlatformButtonEvent(window, left ? PlatformButton::Left : PlatformButton::Right,
                                    event.type == SDL_MOUSEBUTTONDOWN, MakeSizeParam(event.button.x, event.button.y));
                break;
            }
            default:
                break;
        }
    }
    PlatformWindow* window = PlatformMainWindow();
    if (window != nullptr) FitWindowToFrame(window);
    TakeCursorPosition();
}

bool PlatformGetCursorPos(int32_t* x, int32_t* y) {
    if (PlatformMainWindow() == nullptr) return false;
    // Before the first drain there is no position yet: collect the events
    // (they stay queued for the drain) and take it now.
    if (!cursorAtDrain.taken) {
        SDL_PumpEvents();
        TakeCursorPosition();
    }
    *x = cursorAtDrain.x;
    *y = cursorAtDrain.y;
    return true;
}

bool PlatformGetClientOrigin(WindowHandle window, int32_t* x, int32_t* y) {
    if (!PlatformIsWindow(window)) return false;
    int originX = 0;
    int originY = 0;
    SDL_GetWindowPosition(window->sdlWindow, &originX, &originY);
    *x = originX;
    *y = originY;
    return true;
}

bool PlatformGetWindowRect(WindowHandle window, ScreenRect* rect) {
    if (!PlatformIsWindow(window)) return false;
    int originX = 0;
    int originY = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window->sdlWindow, &originX, &originY);
    SDL_GetWindowSize(window->sdlWindow, &width, &height);
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    // Without a window manager the frame is zero, or SDL says it cannot tell.
    if (SDL_GetWindowBordersSize(window->sdlWindow, &top, &left, &bottom, &right) != 0) {
        top = left = bottom = right = 0;
    }
    *rect = ScreenRect{originX - left, originY - top, originX + width + right, originY + height + bottom};
    return true;
}

uint32_t PlatformGetTickCount() { return SDL_GetTicks(); }

void BackendSetCursorVisible(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void PlatformShowMessageBox(WindowHandle owner, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    SDL_Window* parent = PlatformIsWindow(owner) ? owner->sdlWindow : nullptr;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent);
}
