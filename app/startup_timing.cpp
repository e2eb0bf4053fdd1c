#include "app/startup_timing.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Set while the program's static data is initialised, before main: the
// loading of shared libraries lies before it, and only a clock outside the
// process (the script's) sees that part.
const std::chrono::steady_clock::time_point programBegan = std::chrono::steady_clock::now();

}  // namespace

void ReportFirstFrameTiming() {
    const char* wanted = std::getenv(STARTUP_TIMING_VARIABLE);
    if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return;
    const double sinceBegan =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - programBegan).count();
    const double wallClock = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "Vernaskel timing: first scene frame presented at %.6f s, %.1f ms after the program began\n",
                 wallClock, sinceBegan);
}
