#include "app/startup_timing.h"

#if !defined(_WIN32)
#include <time.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Set while the program's static data is initialised, before main: the
// loading of shared libraries lies before it, and only a clock outside the
// process (the script's) sees that part.
const std::chrono::steady_clock::time_point programBegan = std::chrono::steady_clock::now();

// Processor time of all the process's threads since it began, in ms;
// negative where the system has no such clock.
double ProcessorMilliseconds() {
#if defined(_WIN32)
    return -1.0;
#else
    timespec used{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) != 0) return -1.0;
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) * 1e-6;
#endif
}

}  // namespace

void ReportFirstFrameTiming() {
    const char* wanted = std::getenv(STARTUP_TIMING_VARIABLE);
    if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return;
    const double sinceBegan =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - programBegan).count();
    const double wallClock = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const double processor = ProcessorMilliseconds();
    char processorText[64] = "";
    if (processor >= 0.0) std::snprintf(processorText, sizeof processorText, ", %.1f ms of processor time", processor);
    std::fprintf(stderr, "Vernaskel timing: first scene frame presented at %.6f s, %.1f ms after the program began%s\n",
                 wallClock, sinceBegan, processorText);
}
