// Start-up: what the first pass of the main loop does once, in named steps.
#pragma once

#include <string>

// Whoever times start-up hears of each step as it ends, by name ("font",
// "list", "read 0", "loading picture 0", "mipmaps 0", ..., "scale map",
// "view"). The program's own start-up has no one listening.
struct StartupWatch {
    void (*stepDone)(void* context, const std::string& step) = nullptr;
    void* context = nullptr;
};

// The whole start-up, step by step: the text font, the rules placed for
// loading, the textures with the loading screen and the scale map, then the
// perspective view, the cursor, the clock, the camera and the drag
// sensitivity.
void RunStartup();
void RunStartupSteps(const StartupWatch& watch);

// The folder the texture list was found in, as an absolute path: the
// working directory's data folder, or the installed one. Empty until
// start-up has found it.
extern std::string textureListFolder;

// Reads the texture list, shows the loading screen and makes one texture per
// entry, then reads the scale map beside the list. Ends the process with
// status 1 after an "Error" message box when the list cannot be opened or
// read, is malformed, or a JPEG entry cannot be loaded.
void LoadTextureList(const StartupWatch& watch = {});
