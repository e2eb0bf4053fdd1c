// The benchmark binary's entry: the usual run, then program against floor
// for a frame and for start-up, and start-up in parts. Exits with status 1
// when a floor's picture check failed or a benchmark could not run (no
// default data, no headless window), so that a test run catches it.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

struct Comparison {
    const char* what;
    const char* program;
    const char* floor;
};
constexpr Comparison COMPARISONS[] = {
    {"frame", "BM_DriveFrame", "BM_FrameFloor"},
    {"start-up", "BM_StartupToFirstFrame", "BM_StartupFloor"},
};

struct Timing {
    double wall;       // milliseconds an iteration
    double processor;  // milliseconds of the whole process's processor time
};

// The console's report, keeping each benchmark's times per iteration (the
// medians where there are repetitions).
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred) {
                failed = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const double toMilliseconds = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            timings[run.run_name.function_name] =
                Timing{run.GetAdjustedRealTime() * toMilliseconds, run.GetAdjustedCPUTime() * toMilliseconds};
        }
    }

    std::map<std::string, Timing> timings;
    bool failed = false;  // a benchmark stopped with an error
};

void PrintComparisons(const std::map<std::string, Timing>& timings) {
    bool header = false;
    for (const Comparison& c : COMPARISONS) {
        const auto program = timings.find(c.program);
        const auto floor = timings.find(c.floor);
        if (program == timings.end() || floor == timings.end()) continue;
        if (!header) {
            std::printf("\nProgram against floor on the default data, %d x %d, llvmpipe software rendering, ms:\n"
                        "%-10s %12s %12s %7s %16s %16s %7s\n",
                        BENCH_WIDTH, BENCH_HEIGHT, "", "program wall", "floor wall", "ratio", "program process",
                        "floor process", "ratio");
            header = true;
        }
        const Timing& p = program->second;
        const Timing& f = floor->second;
        std::printf("%-10s %12.3f %12.3f %7.2f %16.3f %16.3f %7.2f\n", c.what, p.wall, f.wall, p.wall / f.wall,
                    p.processor, f.processor, p.processor / f.processor);
    }
}

void PrintStartupParts() {
    const StartupParts& parts = MeasuredStartupParts();
    if (parts.iterations == 0) return;
    std::printf("\nStart-up in parts, ms, the mean of %lld starts:\n%-20s %9s %9s\n",
                static_cast<long long>(parts.iterations), "", "wall", "process");
    Timing sum{0.0, 0.0};
    const double perStart = 1e3 / static_cast<double>(parts.iterations);
    for (size_t k = 0; k < parts.names.size(); ++k) {
        const Timing part{parts.seconds[k] * perStart, parts.processorSeconds[k] * perStart};
        std::printf("%-20s %9.2f %9.2f\n", parts.names[k].c_str(), part.wall, part.processor);
        sum.wall += part.wall;
        sum.processor += part.processor;
    }
    std::printf("%-20s %9.2f %9.2f\n", "sum", sum.wall, sum.processor);
}

}  // namespace

int main(int argc, char** argv) {
    // Every start in a benchmark takes fresh memory from the system for its
    // pictures, textures and mipmaps, as a new process does. With its
    // default thresholds glibc raises them after the first large free, and
    // later starts then reuse pages already mapped in: start-up looked up to
    // three times cheaper, more or less so by the order of the benchmarks.
    // Thresholds set by hand stay fixed (frames are timed with those a
    // running program has: SteadyMemory).
    mallopt(M_MMAP_THRESHOLD, START_UP_MALLOC_THRESHOLD);
    mallopt(M_TRIM_THRESHOLD, START_UP_MALLOC_THRESHOLD);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter(isatty(STDOUT_FILENO) ? SummaryReporter::OO_Color : SummaryReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintComparisons(reporter.timings);
    PrintStartupParts();
    if (AnyPictureCheckFailed()) {
        std::fprintf(stderr, "A floor does not draw the program's picture: its figures compare nothing.\n");
        return 1;
    }
    return reporter.failed ? 1 : 0;
}
