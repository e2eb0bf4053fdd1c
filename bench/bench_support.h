// What the benchmarks share: the build's default data, the floor's picture of
// the scene drawn from one static vertex buffer, and the one-time check that
// a floor draws exactly the program's picture.
#pragma once

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "images/texture_list.h"

// The screen of the benchmarks on the default data.
constexpr int BENCH_WIDTH = 1920;
constexpr int BENCH_HEIGHT = 1080;

// The folder that holds the build's data/ts and the textures it lists: the
// working directory in which the program finds the default data.
const std::string& DefaultDataFolder();

// The default data's texture list, read once; false (with the run marked
// as failed) when the build has not drawn it.
bool ReadDefaultTextureList(benchmark::State& state, TextureList* list);

// The allocator's thresholds the benchmark binary keeps while a start-up is
// timed: fixed and low, so that every start takes fresh memory from the
// system as a new process does.
constexpr int START_UP_MALLOC_THRESHOLD = 128 * 1024;

// Frames are timed in a program that has run a while, whose allocator (glibc)
// has long raised its thresholds, as it does at the first free of a large
// block: blocks that a frame takes and gives back (the driver's, for the
// text) stay mapped instead of being returned and faulted in again. While
// one of these lives the thresholds are so; afterwards they are the
// start-up ones again.
struct SteadyMemory {
    SteadyMemory();
    ~SteadyMemory();
};

// Starts the program on the default data at the benchmarks' screen size and
// runs its first pass; false (the run marked as failed) when it cannot.
bool StartOnDefaultData(benchmark::State& state);

// Compares a floor's picture with the program's, both RGBA as read back.
// When they differ it says how and where on standard error, marks the run
// as failed and remembers it (the benchmark binary then exits with status 1).
bool CheckSamePicture(benchmark::State& state, const char* floor, const std::vector<uint8_t>& program,
                      const std::vector<uint8_t>& drawn);
bool AnyPictureCheckFailed();

// Start-up's steps in the program's order, with their times summed over
// every iteration of every run of the benchmark that takes start-up apart.
struct StartupParts {
    std::vector<std::string> names;
    std::vector<double> seconds;           // wall time
    std::vector<double> processorSeconds;  // the whole process's processor time
    int64_t iterations;
};
StartupParts& MeasuredStartupParts();

// --- The floor's picture -----------------------------------------------------
//
// The program draws every frame in immediate mode. The floor draws the same
// lines and quads, with the same colours, texture coordinates, textures and
// filters, from one static vertex buffer: GL_QUADS from the buffer are split
// into triangles as the program's are (a display list split them along the
// other diagonal and changed pixels). Each rule is the cursor window's
// outline (dark sides, hairline, light top and bottom) and then its three
// textured strips, in the program's order, since equal depths keep what was
// drawn first.

struct FloorVertex {
    float position[3];
    float texCoord[2];
    float colour[3];
};

constexpr int FLOOR_OUTLINE_VERTICES = 10;
constexpr int FLOOR_RULE_VERTICES = FLOOR_OUTLINE_VERTICES + 12;

struct FloorScene {
    std::vector<FloorVertex> vertices;  // FLOOR_RULE_VERTICES per rule
    double projection[16];
    double modelview[16];               // the camera
    int textureIndex[2];                // of each rule's strips
    int clientWidth;
    int clientHeight;
    GLuint buffer;                      // once uploaded
    GLuint textures[2];
};

// The scene as the program draws it now: its panels, projection, camera and
// client size. Needs the program's context after at least one frame.
FloorScene CaptureFloorScene();

// Makes the vertex buffer in the current context, takes each rule's texture
// from `textureNames` (indexed as the texture table) and sets the state that
// every floor frame keeps.
void UploadFloorScene(FloorScene* scene, const uint32_t* textureNames);

// Draws and presents one frame. In the program's first frame the first
// cursor window is drawn untextured; in every later one it is modulated by
// the texture and coordinate that the frame before ended with.
void DrawFloorFrame(const FloorScene& scene, bool firstFrame);
