#include <cstdio>
#include <cstring>

#include "app/app_window.h"
#include "app/controls.h"

namespace {

constexpr const char* USAGE_TEXT =
    "Usage: vernaskel [--help | --version]\n"
    "\n"
    "Opens a window with two three-dimensional slide rules to work with the\n"
    "mouse and the keyboard:\n"
    "\n";
constexpr const char* DATA_TEXT =
    "\n"
    "The rules' textures are listed in data/ts in the working folder; without\n"
    "one there, the default rules installed with the program are shown.\n";

}  // namespace

int main(int argc, char** argv) {
    // Only these two are answered; any other argument is ignored.
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--version") == 0) {
            std::printf("vernaskel %s\n", VERNASKEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[k], "--help") == 0) {
            std::printf("vernaskel %s\n\n%s%s%s", VERNASKEL_VERSION, USAGE_TEXT, ControlsText().c_str(), DATA_TEXT);
            return 0;
        }
    }
    return WinMain();
}
