// The benchmark binary's entry: the usual run, then a summary of program
// against floor for a frame and for start-up. Exits with status 1 when a
// floor's picture check failed, so that a test run of the binary catches it.
#include <benchmark/benchmark.h>
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

// The console's report, keeping each benchmark's wall time per iteration in
// milliseconds (the median where there are repetitions).
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            milliseconds[run.run_name.function_name] = seconds * 1e3;
        }
    }

    std::map<std::string, double> milliseconds;
};

void PrintSummary(const std::map<std::string, double>& milliseconds) {
    bool header = false;
    for (const Comparison& c : COMPARISONS) {
        const auto program = milliseconds.find(c.program);
        const auto floor = milliseconds.find(c.floor);
        if (program == milliseconds.end() || floor == milliseconds.end()) continue;
        if (!header) {
            std::printf("\nProgram against floor on the default data, %d x %d, wall time"
                        " (llvmpipe software rendering):\n",
                        BENCH_WIDTH, BENCH_HEIGHT);
            header = true;
        }
        std::printf("  %-9s program %9.3f ms   floor %9.3f ms   ratio %.2f\n", c.what, program->second, floor->second,
                    program->second / floor->second);
    }
    const StartupParts& parts = MeasuredStartupParts();
    if (parts.iterations == 0) return;
    double sum = 0.0;
    std::printf("\nStart-up in parts, ms, over %lld starts:", static_cast<long long>(parts.iterations));
    for (size_t k = 0; k < parts.names.size(); ++k) {
        const double milliseconds = parts.seconds[k] * 1e3 / static_cast<double>(parts.iterations);
        std::printf("%s %s %.2f", k == 0 ? "" : ",", parts.names[k].c_str(), milliseconds);
        sum += milliseconds;
    }
    std::printf("; sum %.2f\n", sum);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter(isatty(STDOUT_FILENO) ? SummaryReporter::OO_Color : SummaryReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter.milliseconds);
    if (AnyPictureCheckFailed()) {
        std::fprintf(stderr, "A floor does not draw the program's picture: its figures compare nothing.\n");
        return 1;
    }
    return 0;
}
