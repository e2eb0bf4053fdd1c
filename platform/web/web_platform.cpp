// The browser's backend: the page's canvas is the window, a WebGL context its
// GL context (drawn through web_gl.cpp), and the page's events its messages.
// The canvas fills the page and counts device pixels; the client area is
// the whole canvas at (0, 0) of the "screen", the page.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/web/web_gl.h"
#include "platform/web/web_page.h"
#include "platform/web/web_touch.h"

struct PlatformWindow {
    int width;  // the canvas, in device pixels
    int height;
};

struct PlatformGlContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
};

namespace {

constexpr const char* CANVAS = "#canvas";

std::string lastError;

// The pointer as the page last reported it, and as the last drain took it.
int32_t pointerX = 0;
int32_t pointerY = 0;
int32_t drainX = 0;
int32_t drainY = 0;

// The size the canvas is given, in device pixels: its box on the page, which
// is the page less what the page keeps for itself (the on-screen controls'
// bar).
EM_JS(int, PageWidth, (), {
  const box = document.getElementById('canvas').getBoundingClientRect();
  return Math.max(1, Math.round((box.width || window.innerWidth) * (window.devicePixelRatio || 1)));
});
EM_JS(int, PageHeight, (), {
  const box = document.getElementById('canvas').getBoundingClientRect();
  return Math.max(1, Math.round((box.height || window.innerHeight) * (window.devicePixelRatio || 1)));
});
EM_JS(double, PixelRatio, (), { return window.devicePixelRatio || 1; });

// The page's keys by their place on the keyboard, whatever its layout, as
// the program's virtual-key codes; -1 for keys the program has no code for.
int VirtualKeyOf(const char* code) {
    if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9' && code[6] == '\0') {
        return VK_0 + (code[5] - '0');
    }
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return VK_A + (code[3] - 'A');
    }
    if (std::strncmp(code, "Numpad", 6) == 0 && code[6] >= '0' && code[6] <= '9' && code[7] == '\0') {
        return VK_NUMPAD0 + (code[6] - '0');
    }
    struct Named {
        const char* code;
        int virtualKey;
    };
    static const Named NAMED[] = {
        {"Escape", VK_ESCAPE},     {"ArrowUp", VK_UP},      {"ArrowDown", VK_DOWN}, {"ArrowLeft", VK_LEFT},
        {"ArrowRight", VK_RIGHT},  {"NumpadAdd", VK_ADD},   {"NumpadSubtract", VK_SUBTRACT}, {"F1", VK_F1},
        {"ShiftLeft", VK_LSHIFT},  {"ShiftRight", VK_RSHIFT}, {"Enter", VK_RETURN}, {"Space", VK_SPACE},
        {"Tab", VK_TAB},           {"Backspace", VK_BACK},    {"NumpadEnter", VK_RETURN},
    };
    for (const Named& named : NAMED) {
        if (std::strcmp(code, named.code) == 0) return named.virtualKey;
    }
    return -1;
}

// A key that types one character, as the page names it ("a", "*", "3"):
// without Ctrl, Alt or Meta, which make it a shortcut of the browser's.
bool TypesCharacter(const EmscriptenKeyboardEvent* event) {
    if (event->ctrlKey || event->altKey || event->metaKey) return false;
    const size_t length = std::strlen(event->key);
    if (length == 0 || length > 4) return false;
    // One UTF-8 sequence: its first byte says how long it is.
    const unsigned char first = static_cast<unsigned char>(event->key[0]);
    const size_t expected = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    return length == expected;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    const int virtualKey = VirtualKeyOf(event->code);
    const bool typed = down && TypesCharacter(event);
    if (virtualKey >= 0) PlatformKeyEvent(PlatformMainWindow(), virtualKey, down);
    if (typed) PlatformTextEvent(PlatformMainWindow(), event->key);
    // The browser's own keys stay the browser's; the program's keys and
    // typed characters neither scroll nor search the page.
    return virtualKey >= 0 || typed ? EM_TRUE : EM_FALSE;
}

void TakePointer(const EmscriptenMouseEvent* event) {
    const double ratio = PixelRatio();
    pointerX = static_cast<int32_t>(static_cast<double>(event->clientX) * ratio);
    pointerY = static_cast<int32_t>(static_cast<double>(event->clientY) * ratio);
}

EM_BOOL OnMouseButton(int eventType, const EmscriptenMouseEvent* event, void*) {
    PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr) return EM_FALSE;
    TakePointer(event);
    const bool down = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
    if (event->button != 0 && event->button != 2) return EM_FALSE;
    const PlatformButton button = event->button == 0 ? PlatformButton::Left : PlatformButton::Right;
    // A release whose press the page did not see (made outside it) is not
    // the program's.
    if (!down && !PlatformButtonHeld(button)) return EM_FALSE;
    PlatformButtonEvent(window, button, down, MakeSizeParam(pointerX, pointerY));
    return EM_TRUE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    TakePointer(event);
    return EM_FALSE;
}

// The wheel: a notch a line or page step, or a hundred pixels of a wheel
// that scrolls by pixels (a touchpad's glides add up). Away from the user
// (scrolling up) zooms in.
EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr) return EM_FALSE;
    static double pixels = 0.0;
    int notches = 0;
    if (event->deltaMode == DOM_DELTA_PIXEL) {
        pixels += event->deltaY;
        notches = static_cast<int>(pixels / 100.0);
        pixels -= notches * 100.0;
    } else if (event->deltaY != 0.0) {
        notches = event->deltaY > 0.0 ? 1 : -1;
    }
    if (notches != 0) PlatformPostMessage(window, WM_MOUSEWHEEL, MakeWheelParam(-notches * WHEEL_DELTA), 0);
    return EM_TRUE;  // the page does not scroll
}

// The page lost the keyboard: what was held is let go.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
    PlatformWindow* window = PlatformMainWindow();
    WebTouchLetGo();
    if (window != nullptr) PlatformReleaseHeldInput(window);
    return EM_FALSE;
}

// The canvas follows the page's size in device pixels; the program hears
// of it as the window's new client size.
void FitCanvasToPage(PlatformWindow* window) {
    const int width = PageWidth();
    const int height = PageHeight();
    emscripten_set_canvas_element_size(CANVAS, width, height);
    if (width == window->width && height == window->height) return;
    window->width = width;
    window->height = height;
    PlatformPostMessage(window, WM_SIZE, 0, MakeSizeParam(width, height));
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
    PlatformWindow* window = PlatformMainWindow();
    if (window != nullptr) FitCanvasToPage(window);
    return EM_FALSE;
}

void ListenToThePage() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, OnMouseButton);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnMouseButton);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnMouseMove);
    emscripten_set_wheel_callback(CANVAS, nullptr, EM_FALSE, OnWheel);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnBlur);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnResize);
    WebListenToTouch();
}

}  // namespace

// The page's text field, for devices without a keyboard: its line goes to
// the program as Enter, the line's characters and Enter again would.
extern "C" EMSCRIPTEN_KEEPALIVE void WebTypeLine(const char* utf8) {
    PlatformWindow* window = PlatformMainWindow();
    if (window == nullptr) return;
    PlatformKeyEvent(window, VK_RETURN, true);
    PlatformKeyEvent(window, VK_RETURN, false);
    PlatformTextEvent(window, utf8);
    PlatformKeyEvent(window, VK_RETURN, true);
    PlatformKeyEvent(window, VK_RETURN, false);
}

int PlatformScreenWidth() { return PageWidth(); }
int PlatformScreenHeight() { return PageHeight(); }

WindowHandle PlatformCreateWindow(const char*, int, int, int width, int height, const PixelFormatRequest&,
                                  WindowProc proc) {
    if (PlatformMainWindow() != nullptr) {
        lastError = "the page has one window only";
        return nullptr;
    }
    emscripten_set_canvas_element_size(CANVAS, width, height);
    auto* window = new PlatformWindow{width, height};
    if (!PlatformAdoptWindow(window, proc)) {
        if (lastError.empty()) lastError = "the window refused its creation";
        return nullptr;
    }
    ListenToThePage();
    return window;
}

void PlatformShowWindow(WindowHandle window) {
    PlatformSendMessage(window, WM_SIZE, 0, MakeSizeParam(window->width, window->height));
    FitCanvasToPage(window);
}

void BackendFreeWindow(WindowHandle window) { delete window; }

// The desktop's pixel format in WebGL's terms: 8 bits a colour, no alpha
// (the page does not show through), a depth buffer; WebGL 2 where the
// browser has it, for textures of any size.
GlContextHandle PlatformCreateGlContext(WindowHandle) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 2;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(CANVAS, &attributes);
    if (context <= 0) {
        attributes.majorVersion = 1;
        context = emscripten_webgl_create_context(CANVAS, &attributes);
    }
    if (context <= 0) {
        lastError = "this browser cannot draw with WebGL";
        return nullptr;
    }
    return new PlatformGlContext{context};
}

bool PlatformMakeCurrent(WindowHandle, GlContextHandle context) {
    if (context == nullptr) return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS;
    if (emscripten_webgl_make_context_current(context->context) != EMSCRIPTEN_RESULT_SUCCESS) {
        lastError = "cannot make the WebGL context current";
        return false;
    }
    WebGlContextMade();
    return true;
}

void PlatformDeleteGlContext(GlContextHandle context) {
    if (context == nullptr) return;
    emscripten_webgl_destroy_context(context->context);
    delete context;
}

// The browser shows the canvas when the page's turn ends; the loading
// pictures of start-up, drawn in one turn, are shown by waiting for it.
void PlatformSwapBuffers() { WebPagePresented(); }

const char* PlatformLastError() { return lastError.c_str(); }

// The page's text is 12 CSS pixels; the program's text, drawn 12 pixels from
// its cell's top to its bottom on the desktop, matches it at a 14-pixel cell.
double PlatformTextScale() { return 14.0 / 12.0 * PixelRatio(); }
bool PlatformKeepsProportions() { return true; }

// The page's events arrive by themselves between passes; the drain takes
// the pointer where they left it, or where touch has it.
void BackendPumpEvents() {
    WebTouchDrain(&pointerX, &pointerY);
    drainX = pointerX;
    drainY = pointerY;
}

bool PlatformGetCursorPos(int32_t* x, int32_t* y) {
    if (PlatformMainWindow() == nullptr) return false;
    *x = drainX;
    *y = drainY;
    return true;
}

bool PlatformGetClientOrigin(WindowHandle window, int32_t* x, int32_t* y) {
    if (!PlatformIsWindow(window)) return false;
    *x = 0;
    *y = 0;
    return true;
}

bool PlatformGetWindowRect(WindowHandle window, ScreenRect* rect) {
    if (!PlatformIsWindow(window)) return false;
    *rect = ScreenRect{0, 0, window->width, window->height};
    return true;
}

uint32_t PlatformGetTickCount() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

void BackendSetCursorVisible(bool) {}

void PlatformShowMessageBox(WindowHandle, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    WebPageShowMessage(caption, text);
}
