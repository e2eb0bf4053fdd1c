#include "app/app_window.h"

#include <string>

#include "app/controls.h"
#include "app/frame_driver.h"
#include "app/launch_options.h"
#include "app/last_setting.h"
#include "app/startup_timing.h"
#include "learning/command_line.h"
#include "learning/demonstration.h"
#include "learning/lessons.h"
#include "reading/readout_overlay.h"
#include "render/view.h"

AppWindow appWindow;
InputState inputState;

namespace {

constexpr int VK_R = VK_A + ('R' - 'A');
constexpr int VK_P = VK_A + ('P' - 'A');
constexpr int VK_S = VK_A + ('S' - 'A');

// While the command line is open, keys type and do nothing else: Enter runs
// the line, Escape closes it, Backspace deletes.
void HandleTypingKey(uintptr_t virtualKey) {
    if (virtualKey == VK_ESCAPE) CloseCommandLine();
    if (virtualKey == VK_ESCAPE || virtualKey == VK_RETURN) DiscardKeyPresses();
    if (virtualKey == VK_BACK) DeleteLastCharacter();
    if (virtualKey == VK_RETURN) {
        const std::string line = TakeCommandLine();
        if (!line.empty()) RunTypedLine(line, PlatformGetTickCount());
    }
}

// The seed of practice's problems: the one asked for, else the clock's.
uint32_t PracticeSeed() {
    if (launchOptions.seedGiven) return static_cast<uint32_t>(launchOptions.seed);
    return PlatformGetTickCount() | 1u;
}

// The wheel's turn since the last pass: WM_MOUSEWHEEL's signed high word.
void HandleWheel(uintptr_t wParam) {
    inputState.wheelDelta += static_cast<int16_t>(HighWord(static_cast<intptr_t>(wParam)));
}

}  // namespace

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
            SetClientSize(static_cast<double>(LowWord(lParam)), static_cast<double>(HighWord(lParam)));
            return 0;
        case WM_PAINT:
            // The loop draws; nothing to do here.
            return 0;
        case WM_KEYDOWN:
            HandleKeyDown(wParam, lParam);
            return 0;
        case WM_KEYUP:
            HandleKeyUp(wParam);
            return 0;
        case WM_CHAR:
            TypeCharacter(static_cast<unsigned>(wParam));
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

void HandleKeyDown(uintptr_t virtualKey, intptr_t lParam) {
    if (commandLine.open) {
        HandleTypingKey(virtualKey);
        return;
    }
    const bool repeat = (lParam & KEY_REPEAT_BIT) != 0;
    // Escape ends a demonstration where it is; with none under way, it ends
    // the program.
    if (virtualKey == VK_ESCAPE) {
        if (demonstration.running) {
            StopDemonstration();
        } else {
            inputState.quitRequested = 1;
        }
    }
    // Enter checks the answer while practising, else opens the command line;
    // Space steps a demonstration on; P starts and ends practice, S shows the
    // problem's solution.
    if (virtualKey == VK_RETURN && !repeat) {
        if (practice.active) {
            CheckOrPoseNext();
        } else {
            OpenCommandLine();
        }
    }
    if (virtualKey == VK_SPACE) StepOnDemonstration(PlatformGetTickCount());
    if (virtualKey == VK_P && !repeat) TogglePractice(PracticeSeed());
    if (virtualKey == VK_S && !repeat) ShowPracticeSolution(PlatformGetTickCount());
    // R and F1 toggle on a fresh press, not on a held key's repeats; the
    // arrows nudge on every press and repeat.
    if (virtualKey == VK_R && !repeat) ToggleReadout();
    if (virtualKey == VK_F1 && !repeat) ToggleHelp();
    if (virtualKey == VK_LEFT) --inputState.nudgePixels;
    if (virtualKey == VK_RIGHT) ++inputState.nudgePixels;
}

void HandleKeyUp(uintptr_t) {}

bool CreateMainWindow() {
    const int width = PlatformScreenWidth();
    const int height = PlatformScreenHeight();
    appWindow.window = PlatformCreateWindow(MAIN_WINDOW_TITLE, 0, 0, width, height, MAIN_PIXEL_FORMAT, MainWindowProc);
    if (appWindow.window == nullptr) return false;
    PlatformSetTouchTarget(OnMovablePart);
    PlatformShowWindow(appWindow.window);
    return true;
}

bool RunMainLoopPass() { return RunMainLoopPassWatched(StartupWatch{}); }

bool RunMainLoopPassWatched(const StartupWatch& watch) {
    if (inputState.quitRequested != 0) return false;
    PlatformMessage message;
    while (PlatformPeekMessage()) {
        if (!PlatformGetMessage(&message)) return false;  // WM_QUIT: the window is gone
        PlatformDispatchMessage(message);
    }
    const bool firstFrame = inputState.startupDone == 0;
    if (firstFrame) {
        RunStartupSteps(watch);
        // The first frame the user sees shows the setting asked for, and
        // the calculation asked for under way.
        ApplyLaunchSetting();
        if (launchOptions.showGiven) RunTypedLine(launchOptions.show, PlatformGetTickCount());
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
    KeepSettingAtExit();
    return 0;
}

void ReadCursorPosition(int32_t* x, int32_t* y) {
    *x = 0;
    *y = 0;
    int32_t screenX = 0;
    int32_t screenY = 0;
    if (PlatformGetCursorPos(&screenX, &screenY)) {
        *x = screenX;
        *y = screenY;
    }
}
