#include "app/app_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "app/frame_driver.h"
#include "app/startup_timing.h"
#include "images/texture_list.h"
#include "interaction/pick_and_drag.h"
#include "reading/reading_aids.h"
#include "render/bitmap_font.h"
#include "render/view.h"
#include "scene/panels.h"
#include "scene/transforms.h"

AppWindow appWindow = {};
InputState inputState = {};

intptr_t MainWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_CREATE:
            appWindow.glContext = PlatformCreateGlContext(window);
            // Without a current context nothing can be drawn: refuse the
            // window so that the entry can say why and stop.
            if (appWindow.glContext == nullptr) return WINDOW_CREATE_REFUSED;
            if (!PlatformMakeCurrent(window, appWindow.glContext)) {
                PlatformDeleteGlContext(appWindow.glContext);
                appWindow.glContext = nullptr;
                return WINDOW_CREATE_REFUSED;
            }
            return 0;
        case WM_DESTROY:
            if (appWindow.glContext != nullptr) {
                PlatformMakeCurrent(nullptr, nullptr);
                PlatformDeleteGlContext(appWindow.glContext);
                appWindow.glContext = nullptr;
            }
            PlatformPostQuitMessage(0);
            return 0;
        case WM_SIZE:
            viewState.clientWidth = static_cast<double>(LowWord(lParam));
            viewState.clientHeight = static_cast<double>(HighWord(lParam));
            return 0;
        case WM_PAINT:
            // The loop draws; nothing to do here.
            return 0;
        case WM_KEYDOWN:
            HandleKeyDown(wParam);
            HandleReadingKey(wParam, lParam);
            return 0;
        case WM_KEYUP:
            HandleKeyUp(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            inputState.leftButtonDown = 1;
            return 0;
        case WM_LBUTTONUP:
            inputState.leftButtonDown = 0;
            return 0;
        case WM_RBUTTONDOWN:
            inputState.rightButtonDown = 1;
            return 0;
        case WM_RBUTTONUP:
            inputState.rightButtonDown = 0;
            return 0;
        case WM_MOUSEWHEEL:
            HandleWheel(wParam);
            return 0;
        default:
            return PlatformDefWindowProc(window, message, wParam, lParam);
    }
}

void HandleKeyDown(uintptr_t virtualKey) {
    if (virtualKey == VK_ESCAPE) inputState.quitRequested = 1;
}

void HandleKeyUp(uintptr_t) {}

bool CreateMainWindow() {
    const int width = PlatformScreenWidth();
    const int height = PlatformScreenHeight();
    appWindow.window = PlatformCreateWindow(MAIN_WINDOW_TITLE, 0, 0, width, height, MAIN_PIXEL_FORMAT, MainWindowProc);
    if (appWindow.window == nullptr) return false;
    PlatformShowWindow(appWindow.window);
    return true;
}

bool RunMainLoopPass() {
    if (inputState.quitRequested != 0) return false;
    PlatformMessage message;
    while (PlatformPeekMessage()) {
        if (!PlatformGetMessage(&message)) return false;  // WM_QUIT: the window is gone
        PlatformDispatchMessage(message);
    }
    const bool firstFrame = inputState.startupDone == 0;
    if (firstFrame) {
        RunStartup();
        inputState.startupDone = 1;
    }
    DriveFrame();
    if (firstFrame) ReportFirstFrameTiming();
    PlatformShowCursor();
    return inputState.quitRequested == 0;
}

int WinMain() {
    if (!CreateMainWindow()) {
        const std::string text = std::string("Vernaskel cannot start: ") + PlatformLastError();
        PlatformShowMessageBox(nullptr, text.c_str(), "Error");
        return 1;
    }
    PlatformRunMainLoop(RunMainLoopPass);
    return 0;
}

void RunStartup() {
    bitmapFont.cellHeight = 12.0f;
    bitmapFont.listBase = CreateBitmapFont("Arial", 12);
    panelTable.panelCount = 8;
    // Lift the rules by 8 and move them 14 farther from the eye.
    panelShift = Vec3f{0.0f, 8.0f, 14.0f};
    TranslatePanels(0, panelTable.panelCount);
    LoadTextureList();
    glClearColor(0, 0, 0, 0);
    panelShift = Vec3f{0.0f, 0.0f, 0.0f};
    SetupPerspectiveProjection();
    ReadCursorPosition(&inputState.cursorX, &inputState.cursorY);
    inputState.prevCursorX = inputState.cursorX;
    inputState.prevCursorY = inputState.cursorY;
    frameClock.frameStamp = static_cast<float>(PlatformGetTickCount());
    viewState.eyePoint = Vec3f{0.0f, 0.0f, 0.0f};
    viewState.backPoint = Vec3f{0.0f, 0.0f, 1.0f};
    dragSensitivity = 0.0002f;
}
