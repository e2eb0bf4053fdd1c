// Start-up on the default data, from making the window to the first scene
// frame presented: the program, the floor that draws the same first frame
// with the same readers and the same mipmap builds but nothing else, and the
// program's start-up taken apart step by step.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "app/startup.h"
#include "bench/bench_support.h"
#include "images/texture_list.h"
#include "render/textures.h"
#include "tests/support/program.h"

namespace {

// The program's first scene frame and the scene it shows, taken once.
struct FirstFrame {
    std::vector<uint8_t> picture;
    FloorScene scene;
};

bool TakeFirstFrame(benchmark::State& state, FirstFrame* first) {
    if (!StartOnDefaultData(state)) return false;
    first->picture = HeadlessReadPixels();
    first->scene = CaptureFloorScene();
    ResetProgramState();
    return true;
}

// Each iteration starts from nothing: the previous window is destroyed
// outside the timing.
void ResetUntimed(benchmark::State& state) {
    state.PauseTiming();
    ResetProgramState();
    state.ResumeTiming();
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    // Work done once a process (the EGL display, fontconfig's caches) is
    // the cold start's, timed by scripts/cold-start.sh: one start first.
    if (!StartOnDefaultData(state)) return;
    for (auto _ : state) {
        ResetUntimed(state);
        if (!StartProgramIn(DefaultDataFolder(), BENCH_WIDTH, BENCH_HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
    }
    ResetProgramState();
}
// llvmpipe works on its own threads: wall time and the whole process's
// processor time are the measures.
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The window and context, each listed image read by its reader and built
// into a mipmapped texture, and one frame: no font, no list, no loading
// pictures.
void BM_StartupFloor(benchmark::State& state) {
    TextureList list;
    FirstFrame first;
    if (!ReadDefaultTextureList(state, &list) || !TakeFirstFrame(state, &first)) return;
    static bool checked = false;
    for (auto _ : state) {
        ResetUntimed(state);
        if (!CreateProgramWindowIn(DefaultDataFolder(), BENCH_WIDTH, BENCH_HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
        uint32_t names[TEXTURE_TABLE_CAPACITY] = {};
        for (int32_t i = 0; i < list.count; ++i) {
            bool jpegFailed = false;
            Image* image = ReadEntryImage(list.entries[i], nullptr, &jpegFailed);
            MakeEntryTexture(image, list.entries[i].filter, &names[i]);
            FreeImage(image);
        }
        UploadFloorScene(&first.scene, names);
        DrawFloorFrame(first.scene, true);
        if (!checked) {
            state.PauseTiming();
            checked = CheckSamePicture(state, "the start-up floor", first.picture, HeadlessReadPixels());
            state.ResumeTiming();
            if (!checked) break;
        }
    }
    ResetProgramState();
}
BENCHMARK(BM_StartupFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// --- Start-up in parts -------------------------------------------------------

using Clock = std::chrono::steady_clock;

// Processor time of the whole process, llvmpipe's threads included.
double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct PartTimes {
    StartupParts sums;  // over the iterations of this run
    size_t next;
    Clock::time_point began;
    Clock::time_point mark;
    double processorMark;
};

void BeginParts(PartTimes* parts) {
    parts->next = 0;
    parts->began = Clock::now();
    parts->mark = parts->began;
    parts->processorMark = ProcessorSeconds();
}

// Ends the part that ran since the previous mark.
void EndPart(PartTimes* parts, const std::string& name) {
    const Clock::time_point now = Clock::now();
    const double processorNow = ProcessorSeconds();
    StartupParts& sums = parts->sums;
    if (parts->next == sums.names.size()) {
        sums.names.push_back(name);
        sums.seconds.push_back(0.0);
        sums.processorSeconds.push_back(0.0);
    }
    sums.seconds[parts->next] += std::chrono::duration<double>(now - parts->mark).count();
    sums.processorSeconds[parts->next] += processorNow - parts->processorMark;
    ++parts->next;
    parts->mark = now;
    parts->processorMark = processorNow;
}

void TimeStep(void* context, const std::string& step) { EndPart(static_cast<PartTimes*>(context), step); }

// The program's start-up, its own steps in its own order, each step timed as
// start-up reports it done; then the first frame. The first frame is checked
// once against the program's.
void BM_StartupInParts(benchmark::State& state) {
    FirstFrame first;
    if (!TakeFirstFrame(state, &first)) return;
    static bool checked = false;
    PartTimes parts{};
    const StartupWatch watch{TimeStep, &parts};
    for (auto _ : state) {
        ResetProgramState();
        BeginParts(&parts);
        if (!CreateProgramWindowIn(DefaultDataFolder(), BENCH_WIDTH, BENCH_HEIGHT)) {
            state.SkipWithError("no headless window");
            break;
        }
        EndPart(&parts, "window");
        // The first pass: start-up, step by step, then the first frame.
        RunMainLoopPassWatched(watch);
        EndPart(&parts, "first frame");

        if (!checked) {
            checked = CheckSamePicture(state, "start-up in parts", first.picture, HeadlessReadPixels());
            if (!checked) break;
        }
        state.SetIterationTime(std::chrono::duration<double>(parts.mark - parts.began).count());
    }
    StartupParts& measured = MeasuredStartupParts();
    if (measured.names.empty()) {
        measured.names = parts.sums.names;
        measured.seconds.assign(measured.names.size(), 0.0);
        measured.processorSeconds.assign(measured.names.size(), 0.0);
    }
    for (size_t k = 0; k < parts.sums.names.size() && k < measured.names.size(); ++k) {
        measured.seconds[k] += parts.sums.seconds[k];
        measured.processorSeconds[k] += parts.sums.processorSeconds[k];
    }
    measured.iterations += state.iterations();
    ResetProgramState();
}
BENCHMARK(BM_StartupInParts)->Unit(benchmark::kMillisecond)->UseManualTime()->MeasureProcessCPUTime();

}  // namespace
