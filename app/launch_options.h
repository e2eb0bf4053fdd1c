// What the program was started with, beyond --help and --version: the
// setting to start from, and what the demonstration and the practice are
// to begin with.
#pragma once

#include <cstdint>
#include <string>

#include "learning/setting.h"

struct LaunchOptions {
    bool setGiven = false;  // --set TEXT: start with the rules set so
    Setting setting;
    bool resume = false;     // --resume: start where the last run on the same rules ended
    bool showGiven = false;  // --show CALCULATION: the calculation to demonstrate
    std::string show;
    bool seedGiven = false;  // --seed N: where the practice's numbers start from
    uint64_t seed = 0;
};

extern LaunchOptions launchOptions;

// Reads the options from argv[1] on; arguments it does not know are passed
// over. False, with a one-line reason, when an option lacks its value or
// the value cannot be read.
bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options, std::string* error);
