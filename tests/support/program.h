// Runs the real program on the headless backend, pass by pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

// Puts every record of the program back as it is at process start and
// resets the headless backend (destroying any window).
void ResetProgramState();

// Puts the panel table and the view as start-up leaves them (both rules
// placed, a 640 x 480 client, the base pick values) without a window or a
// pass: for tests and benchmarks of the logic alone.
void PlaceStartScene();

// A directory whose texture list names two small white textures (made once
// per process): the rules look as if untextured.
const std::string& WhiteDataDirectory();

// Resets, makes `directory` the working directory and makes the window on a
// screen of the given size (the client area is the screen, as on a frameless
// display), without running a pass. False when the window could not be made.
bool CreateProgramWindowIn(const std::string& directory, int width, int height);
bool CreateProgramWindow(int width, int height);  // in WhiteDataDirectory()

// The same, then the first pass, which runs start-up.
bool StartProgramIn(const std::string& directory, int width, int height);
bool StartProgram(int width, int height);  // in WhiteDataDirectory()

// One main-loop pass; false when the loop is over.
bool RunPass();

// One pixel of the current drawing surface, from RGBA rows read top first.
struct Rgb {
    int r, g, b;
};
Rgb PixelAt(const std::vector<uint8_t>& rgba, int width, int x, int y);

// Screen pixel (top-left origin) of a scene point under the perspective set-up
// with an identity modelview, for a client of the given size.
struct ScreenPoint {
    double x, y;
};
ScreenPoint ProjectToClient(double x, double y, double z, double width, double height, double nearPlane = 0.0058);
