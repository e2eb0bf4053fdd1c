#include "app/startup.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/app_window.h"
#include "app/frame_driver.h"
#include "images/texture_list.h"
#include "interaction/dragging.h"
#include "platform/platform.h"
#include "reading/scale_map.h"
#include "render/bitmap_font.h"
#include "render/loading_screen.h"
#include "render/textures.h"
#include "render/view.h"
#include "scene/transforms.h"

std::string textureListFolder;

namespace {

void StepDone(const StartupWatch& watch, const std::string& step) {
    if (watch.stepDone != nullptr) watch.stepDone(watch.context, step);
}

// Start-up cannot go on: the user is told why, and the process ends.
[[noreturn]] void FailLoading(const char* text) {
    PlatformShowMessageBox(appWindow.window, text, "Error");
    std::exit(1);
}

// Opens the texture list: the one in the working directory, or, when there is
// none there, the default data installed with the program, whose image paths
// then count from the folder it is installed in. Ends the process with a
// message naming what was tried when neither can be opened.
FILE* OpenTextureList(char* fileName, size_t fileNameSize) {
    PlatformSetRelativeBase(nullptr);
    PlatformTranslatePath(TEXTURE_LIST_PATH, fileName, fileNameSize);
    errno = 0;
    FILE* file = PlatformOpenFile(TEXTURE_LIST_PATH, "r");
    const int localError = errno != 0 ? errno : ENOENT;
    if (file != nullptr) return file;

    char message[1024];
    const int written = std::snprintf(message, sizeof message, "Cannot open the texture list %s: %s.", fileName,
                                      std::strerror(localError));
    char folder[4096];
    if (localError == ENOENT && PlatformInstalledDataFolder(folder, sizeof folder)) {
        const std::string installed = std::string(folder) + "/" + fileName;
        errno = 0;
        file = std::fopen(installed.c_str(), "r");
        if (file != nullptr) {
            PlatformSetRelativeBase(folder);
            std::snprintf(fileName, fileNameSize, "%s", installed.c_str());
            return file;
        }
        std::snprintf(message + written, sizeof message - static_cast<size_t>(written),
                      " The default data installed with the program is not there either: %s: %s.", installed.c_str(),
                      std::strerror(errno != 0 ? errno : ENOENT));
    }
    FailLoading(message);
}

}  // namespace

void LoadTextureList(const StartupWatch& watch) {
    char fileName[1024];
    char message[1024 + LIST_WORD_SIZE];
    FILE* file = OpenTextureList(fileName, sizeof fileName);
    std::error_code error;
    textureListFolder = std::filesystem::absolute(fileName, error).lexically_normal().parent_path().string();
    TextureList list;
    const ListReadResult read = ReadTextureList(file, &list);
    std::fclose(file);
    if (read.problem != ListProblem::None) {
        DescribeListProblem(read, fileName, message, sizeof message);
        FailLoading(message);
    }
    ShowLoadingScreen(list.count);
    StepDone(watch, "list");
    if (list.count <= 0) return;

    for (int32_t i = 0; i < list.count; ++i) {
        const TextureListEntry& entry = list.entries[i];
        const std::string number = std::to_string(i);
        bool jpegFailed = false;
        Image* image = ReadEntryImage(entry, appWindow.window, &jpegFailed);
        if (jpegFailed) FailLoading("Unable to load JPG texture");
        StepDone(watch, "read " + number);
        DrawProgressStep(static_cast<float>(i + 1));
        StepDone(watch, "loading picture " + number);
        MakeTableTexture(i, image, entry.filter);
        FreeImage(image);
        StepDone(watch, "mipmaps " + number);
    }
    // Where the generator wrote the textures, it wrote which scales they carry.
    LoadScaleMap();
    StepDone(watch, "scale map");
}

void RunStartup() { RunStartupSteps(StartupWatch{}); }

void RunStartupSteps(const StartupWatch& watch) {
    CreateTextFont();
    StepDone(watch, "font");
    PlaceRulesAtStart();
    LoadTextureList(watch);
    glClearColor(0, 0, 0, 0);
    SetupPerspectiveProjection();
    ReadCursorPosition(&inputState.cursorX, &inputState.cursorY);
    inputState.prevCursorX = inputState.cursorX;
    inputState.prevCursorY = inputState.cursorY;
    frameClock.frameStamp = static_cast<float>(PlatformGetTickCount());
    PlaceCamera();
    SetDefaultDragSensitivity();
    StepDone(watch, "view");
}
