#include "app/launch_options.h"

#include <cstring>

LaunchOptions launchOptions;

namespace {

// A whole number from 0 to 2^64 - 1 in decimal digits, nothing else.
bool ReadSeed(const char* text, uint64_t* seed) {
    if (*text == '\0') return false;
    uint64_t value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(*c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *seed = value;
    return true;
}

}  // namespace

bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options, std::string* error) {
    LaunchOptions read;
    for (int k = 1; k < argc; ++k) {
        const char* option = argv[k];
        const bool takesValue =
            std::strcmp(option, "--set") == 0 || std::strcmp(option, "--show") == 0 || std::strcmp(option, "--seed") == 0;
        if (std::strcmp(option, "--resume") == 0) read.resume = true;
        if (!takesValue) continue;
        if (k + 1 >= argc) {
            *error = std::string(option) + " needs a value";
            return false;
        }
        const char* value = argv[++k];
        if (std::strcmp(option, "--set") == 0) {
            std::string reason;
            if (!ParseSettingText(value, &read.setting, &reason)) {
                *error = "--set: " + reason;
                return false;
            }
            read.setGiven = true;
        } else if (std::strcmp(option, "--show") == 0) {
            read.show = value;
            read.showGiven = true;
        } else {
            if (!ReadSeed(value, &read.seed)) {
                *error = "--seed takes a whole number from 0 to 18446744073709551615";
                return false;
            }
            read.seedGiven = true;
        }
    }
    *options = read;
    return true;
}
