#include "tests/support/program.h"

#include <unistd.h>

#include "app/app_window.h"
#include "app/controls.h"
#include "app/frame_driver.h"
#include "app/last_setting.h"
#include "app/launch_options.h"
#include "app/startup.h"
#include "interaction/dragging.h"
#include "interaction/pick_and_drag.h"
#include "reading/readout_overlay.h"
#include "reading/scale_map.h"
#include "render/bitmap_font.h"
#include "render/loading_screen.h"
#include "render/textures.h"
#include "render/view.h"
#include "scene/panels.h"
#include "scene/transforms.h"
#include "tests/support/test_data.h"

void ResetProgramState() {
    HeadlessReset();
    // app
    appWindow = AppWindow{};
    inputState = InputState{};
    frameClock = FrameClock{};
    viewYaw = 0.0f;
    viewPitch = 0.0f;
    helpOverlay = HelpOverlay{};
    launchOptions = LaunchOptions{};
    settingPublication = SettingPublication{};
    textureListFolder.clear();
    // scene
    panelTable = BuildInitialPanelTable();
    panelShift = Vec3f{};
    // render
    viewState = InitialViewState();
    bitmapFont = BitmapFont{};
    textureTable = TextureTable{};
    textureCount = 0;
    LoadProgress = 0.0f;
    // interaction
    grabActive = 0;
    grabbedPanel = 0;
    dragSensitivity = 0.0f;
    lastDraggedPanel = -1;
    // reading
    readoutOverlay = ReadoutOverlay{};
    scaleMap = ScaleMap{};
}

void PlaceStartScene() {
    panelTable = BuildInitialPanelTable();
    PlaceRulesAtStart();
    viewState = InitialViewState();
}

const std::string& WhiteDataDirectory() {
    static const std::string directory = MakeDataDirectory(WhiteTextureData());
    return directory;
}

bool CreateProgramWindowIn(const std::string& directory, int width, int height) {
    ResetProgramState();
    if (directory.empty() || chdir(directory.c_str()) != 0) return false;
    HeadlessSetScreenSize(width, height);
    return CreateMainWindow();
}

bool CreateProgramWindow(int width, int height) { return CreateProgramWindowIn(WhiteDataDirectory(), width, height); }

bool StartProgramIn(const std::string& directory, int width, int height) {
    return CreateProgramWindowIn(directory, width, height) && RunMainLoopPass();
}

bool StartProgram(int width, int height) { return StartProgramIn(WhiteDataDirectory(), width, height); }

bool RunPass() { return RunMainLoopPass(); }

Rgb PixelAt(const std::vector<uint8_t>& rgba, int width, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4u;
    return Rgb{rgba[at], rgba[at + 1], rgba[at + 2]};
}

ScreenPoint ProjectToClient(double x, double y, double z, double width, double height, double nearPlane) {
    // Normalised device coordinates of the perspective set-up: the view
    // window's half extents 0.004 x 0.0033 at the near distance.
    const double ndcX = x * nearPlane / (static_cast<double>(0.004f) * z);
    const double ndcY = y * nearPlane / (static_cast<double>(0.0033f) * z);
    return ScreenPoint{(ndcX + 1.0) * 0.5 * width, (1.0 - ndcY) * 0.5 * height};
}
