// Cost of one frame on the headless backend, against the floor of a frame
// that only clears and presents.
#include <benchmark/benchmark.h>

#include "app/app_window.h"
#include "app/frame_driver.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

void BM_DriveFrame(benchmark::State& state) {
    if (!StartProgram(WIDTH, HEIGHT)) {
        state.SkipWithError("no headless window");
        return;
    }
    for (auto _ : state) DriveFrame();
    ResetProgramState();
}
// llvmpipe renders on its own threads: wall time is the measure.
BENCHMARK(BM_DriveFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ClearAndPresent(benchmark::State& state) {
    if (!StartProgram(WIDTH, HEIGHT)) {
        state.SkipWithError("no headless window");
        return;
    }
    for (auto _ : state) {
        ClearBuffers();
        PresentFrame();
    }
    ResetProgramState();
}
BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
