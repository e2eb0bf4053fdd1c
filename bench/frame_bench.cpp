// One frame at 1920 x 1080 on the headless backend: the program on the
// default data, against the floor that draws the same picture from a static
// vertex buffer, with the readout shown, and during a demonstration. Beside them the program on two
// white 4 x 4 textures (the geometry without the cost of sampling the rules'
// textures) and a frame that only clears and presents.
#include <benchmark/benchmark.h>

#include "app/app_window.h"
#include "app/frame_driver.h"
#include "bench/bench_support.h"
#include "learning/demonstration.h"
#include "learning/lessons.h"
#include "reading/readout_overlay.h"
#include "render/scene_renderer.h"
#include "render/textures.h"
#include "tests/support/program.h"

namespace {

// Frames drawn before the timing: llvmpipe compiles code for each new
// combination of state when it is first drawn, in every new context, and the
// second frame is the first in the state that every later frame has.
constexpr int WARM_UP_FRAMES = 3;

void WarmUpProgram() {
    for (int k = 0; k < WARM_UP_FRAMES; ++k) DriveFrame();
}

void BM_DriveFrame(benchmark::State& state) {
    if (!StartOnDefaultData(state)) return;
    const SteadyMemory steady;
    WarmUpProgram();
    for (auto _ : state) DriveFrame();
    ResetProgramState();
}
// llvmpipe renders on its own threads: the measures are wall time and the
// processor time of the whole process, which other work on a shared machine
// disturbs less.
BENCHMARK(BM_DriveFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

// The same frame with the readout shown (R): both rules read out and drawn
// as text on their panels.
void BM_DriveFrame_WithReadout(benchmark::State& state) {
    if (!StartOnDefaultData(state)) return;
    const SteadyMemory steady;
    readoutOverlay.shown = true;
    WarmUpProgram();
    for (auto _ : state) DriveFrame();
    ResetProgramState();
}
BENCHMARK(BM_DriveFrame_WithReadout)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

// A frame while a demonstration works 3.7 x 4.2 / 1.9: a part moving, its
// caption in the panel; the clock advances 16 ms a frame, and the
// demonstration starts again from the reading whenever it has ended.
void BM_DriveFrame_Demonstrating(benchmark::State& state) {
    if (!StartOnDefaultData(state)) return;
    const SteadyMemory steady;
    WarmUpProgram();
    for (auto _ : state) {
        if (!demonstration.running) {
            state.PauseTiming();
            RunTypedLine("3.7*4.2/1.9", PlatformGetTickCount());
            state.ResumeTiming();
        }
        HeadlessAdvanceTicks(16);
        DriveFrame();
    }
    ResetProgramState();
}
BENCHMARK(BM_DriveFrame_Demonstrating)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_FrameFloor(benchmark::State& state) {
    if (!StartOnDefaultData(state)) return;
    const SteadyMemory steady;
    // From the second frame on every frame draws the same picture.
    RunPass();
    const std::vector<uint8_t> program = HeadlessReadPixels();
    FloorScene scene = CaptureFloorScene();
    UploadFloorScene(&scene, textureTable.names);
    for (int k = 0; k < WARM_UP_FRAMES; ++k) DrawFloorFrame(scene, false);
    static bool checked = false;
    if (!checked) {
        checked = CheckSamePicture(state, "the frame floor", program, HeadlessReadPixels());
        if (!checked) {
            ResetProgramState();
            return;
        }
    }
    for (auto _ : state) DrawFloorFrame(scene, false);
    ResetProgramState();
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_DriveFrame_WhiteTextures(benchmark::State& state) {
    if (!StartProgram(BENCH_WIDTH, BENCH_HEIGHT)) {
        state.SkipWithError("no headless window");
        return;
    }
    const SteadyMemory steady;
    WarmUpProgram();
    for (auto _ : state) DriveFrame();
    ResetProgramState();
}
BENCHMARK(BM_DriveFrame_WhiteTextures)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_ClearAndPresent(benchmark::State& state) {
    if (!StartProgram(BENCH_WIDTH, BENCH_HEIGHT)) {
        state.SkipWithError("no headless window");
        return;
    }
    const SteadyMemory steady;
    for (auto _ : state) {
        ClearBuffers();
        PresentFrame();
    }
    ResetProgramState();
}
BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
