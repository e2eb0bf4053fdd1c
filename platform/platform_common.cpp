// Backend-independent parts of the platform layer.
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "platform/backend.h"

namespace {

// The one window there is, and the procedure it was made with.
WindowHandle mainWindow = nullptr;
WindowProc mainWindowProc = nullptr;

std::deque<PlatformMessage> messageQueue;
bool quitPosted = false;

// Asynchronous key table: held now, and pressed since the last query.
bool keyDown[VK_COUNT];
bool keyPressedSinceQuery[VK_COUNT];

// Mouse buttons seen going down in the window and not yet up (bit 0 left,
// bit 1 right).
unsigned buttonsHeld = 0;

// Where relative file paths count from; empty: the working directory.
std::string relativeBase;

int cursorDisplayCount = 0;
bool cursorVisibleSet = false;

bool IsValidKey(int virtualKey) { return virtualKey >= 0 && virtualKey < VK_COUNT; }

unsigned ButtonBit(PlatformButton button) { return button == PlatformButton::Left ? 1u : 2u; }

void LetWindowGo() {
    mainWindow = nullptr;
    mainWindowProc = nullptr;
    buttonsHeld = 0;
}

}  // namespace

bool PlatformAdoptWindow(WindowHandle window, WindowProc proc) {
    mainWindow = window;
    mainWindowProc = proc;
    buttonsHeld = 0;
    if (PlatformSendMessage(window, WM_CREATE, 0, 0) != WINDOW_CREATE_REFUSED) return true;
    LetWindowGo();
    BackendFreeWindow(window);
    return false;
}

WindowHandle PlatformMainWindow() { return mainWindow; }

bool PlatformIsWindow(WindowHandle window) { return window != nullptr && window == mainWindow; }

void PlatformDestroyWindow(WindowHandle window) {
    if (!PlatformIsWindow(window)) return;
    PlatformSendMessage(window, WM_DESTROY, 0, 0);
    PlatformForgetWindow(window);
    LetWindowGo();
    BackendFreeWindow(window);
}

void PlatformPostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    messageQueue.push_back(PlatformMessage{window, message, wParam, lParam});
}

intptr_t PlatformSendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!PlatformIsWindow(window)) return 0;
    return mainWindowProc(window, message, wParam, lParam);
}

void PlatformForgetWindow(WindowHandle window) {
    for (auto it = messageQueue.begin(); it != messageQueue.end();) {
        if (it->window == window) {
            it = messageQueue.erase(it);
        } else {
            ++it;
        }
    }
}

bool PlatformPeekMessage() {
    BackendPumpEvents();
    return !messageQueue.empty() || quitPosted;
}

bool PlatformGetMessage(PlatformMessage* message) {
    // Posted messages come first; the quit request is seen once the queue
    // holds nothing else, as WM_QUIT is.
    while (messageQueue.empty() && !quitPosted) BackendPumpEvents();
    if (!messageQueue.empty()) {
        *message = messageQueue.front();
        messageQueue.pop_front();
        return true;
    }
    quitPosted = false;
    *message = PlatformMessage{nullptr, WM_QUIT, 0, 0};
    return false;
}

intptr_t PlatformDispatchMessage(const PlatformMessage& message) {
    return PlatformSendMessage(message.window, message.message, message.wParam, message.lParam);
}

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE && PlatformIsWindow(window)) PlatformDestroyWindow(window);
    return 0;
}

void PlatformPostQuitMessage(int) { quitPosted = true; }

void PlatformKeyEvent(WindowHandle window, int virtualKey, bool down) {
    if (!IsValidKey(virtualKey)) return;
    const bool repeat = down && keyDown[virtualKey];
    keyDown[virtualKey] = down;
    if (down) keyPressedSinceQuery[virtualKey] = true;
    // The generic Shift code follows either Shift key.
    const bool shift = virtualKey == VK_LSHIFT || virtualKey == VK_RSHIFT;
    if (shift) {
        keyDown[VK_SHIFT] = keyDown[VK_LSHIFT] || keyDown[VK_RSHIFT];
        if (down) keyPressedSinceQuery[VK_SHIFT] = true;
    }
    if (window == nullptr) return;
    PlatformPostMessage(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(shift ? VK_SHIFT : virtualKey),
                        repeat ? KEY_REPEAT_BIT : 0);
}

void PlatformReleaseHeldKeys(WindowHandle window) {
    for (int key = 0; key < VK_COUNT; ++key) {
        if (keyDown[key] && key != VK_SHIFT) PlatformKeyEvent(window, key, false);
    }
    keyDown[VK_SHIFT] = false;
}

namespace {

// The code page 1252 code of a Unicode code point, or -1. Latin-1's
// printable codes are their own; the few 1252 has in 128 to 159 are left out.
int CodePage1252Of(uint32_t codePoint) {
    if (codePoint >= 0x20 && codePoint < 0x7F) return static_cast<int>(codePoint);
    if (codePoint >= 0xA0 && codePoint <= 0xFF) return static_cast<int>(codePoint);
    return -1;
}

}  // namespace

void PlatformTextEvent(WindowHandle window, const char* utf8) {
    if (window == nullptr || utf8 == nullptr) return;
    const auto* at = reinterpret_cast<const unsigned char*>(utf8);
    while (*at != 0) {
        // One UTF-8 sequence; a stray continuation or cut sequence is skipped.
        uint32_t codePoint = *at;
        int extra = 0;
        if (*at >= 0xF0) {
            codePoint = *at & 0x07u;
            extra = 3;
        } else if (*at >= 0xE0) {
            codePoint = *at & 0x0Fu;
            extra = 2;
        } else if (*at >= 0xC0) {
            codePoint = *at & 0x1Fu;
            extra = 1;
        } else if (*at >= 0x80) {
            ++at;
            continue;
        }
        ++at;
        bool whole = true;
        for (int k = 0; k < extra; ++k, ++at) {
            if ((*at & 0xC0u) != 0x80u) {
                whole = false;
                break;
            }
            codePoint = (codePoint << 6) | (*at & 0x3Fu);
        }
        const int code = whole ? CodePage1252Of(codePoint) : -1;
        if (code >= 0) PlatformPostMessage(window, WM_CHAR, static_cast<uintptr_t>(code), 0);
    }
}

void PlatformButtonEvent(WindowHandle window, PlatformButton button, bool down, intptr_t where) {
    if (window == nullptr) return;
    const unsigned bit = ButtonBit(button);
    buttonsHeld = down ? (buttonsHeld | bit) : (buttonsHeld & ~bit);
    const bool left = button == PlatformButton::Left;
    const uint32_t message = down ? (left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN) : (left ? WM_LBUTTONUP : WM_RBUTTONUP);
    PlatformPostMessage(window, message, 0, where);
}

bool PlatformButtonHeld(PlatformButton button) { return (buttonsHeld & ButtonBit(button)) != 0; }

void PlatformReleaseHeldInput(WindowHandle window) {
    PlatformReleaseHeldKeys(window);
    if ((buttonsHeld & 1u) != 0) PlatformPostMessage(window, WM_LBUTTONUP, 0, 0);
    if ((buttonsHeld & 2u) != 0) PlatformPostMessage(window, WM_RBUTTONUP, 0, 0);
    buttonsHeld = 0;
}

int16_t PlatformGetAsyncKeyState(int virtualKey) {
    if (!IsValidKey(virtualKey)) return 0;
    int result = 0;
    if (keyDown[virtualKey]) result |= 0x8000;
    if (keyPressedSinceQuery[virtualKey]) result |= 0x0001;
    keyPressedSinceQuery[virtualKey] = false;
    return static_cast<int16_t>(result);
}

int PlatformShowCursor() {
    ++cursorDisplayCount;
    if (cursorDisplayCount >= 0 && !cursorVisibleSet) {
        BackendSetCursorVisible(true);
        cursorVisibleSet = true;
    }
    return cursorDisplayCount;
}

int PlatformCursorDisplayCount() { return cursorDisplayCount; }

void PlatformResetSharedState() {
    messageQueue.clear();
    quitPosted = false;
    std::memset(keyDown, 0, sizeof keyDown);
    std::memset(keyPressedSinceQuery, 0, sizeof keyPressedSinceQuery);
    buttonsHeld = 0;
    cursorDisplayCount = 0;
    cursorVisibleSet = false;
    relativeBase.clear();
}

void PlatformTranslatePath(const char* path, char* out, size_t outSize) {
    if (outSize == 0) return;
    size_t i = 0;
    for (; path[i] != '\0' && i + 1 < outSize; ++i) out[i] = path[i] == '\\' ? '/' : path[i];
    out[i] = '\0';
}

void PlatformSetRelativeBase(const char* directory) {
    relativeBase = directory != nullptr ? directory : "";
}

bool PlatformResolvePath(const char* path, char* out, size_t outSize) {
    char translated[4096];
    if (std::strlen(path) >= sizeof translated) return false;
    PlatformTranslatePath(path, translated, sizeof translated);
    // Absolute: from the root, or a drive or share where the system has them.
    const bool absolute = translated[0] == '/' || (translated[0] != '\0' && translated[1] == ':');
    const bool underBase = !relativeBase.empty() && !absolute;
    const int written = underBase ? std::snprintf(out, outSize, "%s/%s", relativeBase.c_str(), translated)
                                  : std::snprintf(out, outSize, "%s", translated);
    return written >= 0 && static_cast<size_t>(written) < outSize;
}

FILE* PlatformOpenFile(const char* path, const char* mode) {
    char resolved[4096];
    if (!PlatformResolvePath(path, resolved, sizeof resolved)) return nullptr;
    return std::fopen(resolved, mode);
}
