#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_window.h"
#include "app/controls.h"
#include "app/launch_options.h"

namespace {

constexpr const char* USAGE_TEXT =
    "Usage: vernaskel [--set SETTING | --resume] [--show CALCULATION] [--seed N]\n"
    "       vernaskel --help | --version\n"
    "\n"
    "Opens a window with two three-dimensional slide rules to work with the\n"
    "mouse and the keyboard:\n"
    "\n";
constexpr const char* DATA_TEXT =
    "\n"
    "The rules' textures are listed in data/ts in the working folder; without\n"
    "one there, the default rules installed with the program are shown.\n";
constexpr const char* OPTIONS_TEXT =
    "\n"
    "Options:\n"
    "  --set SETTING       start with the rules set as SETTING says (the text the\n"
    "                      browser's address holds after #set=)\n"
    "  --resume            start where the last run on the same rules ended\n"
    "  --show CALCULATION  show how the rules work out CALCULATION\n"
    "  --seed N            start the practice's numbers from N (a whole number)\n"
    "  --help, --version   print this, or the version, and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered at once; the options the program
    // starts with are kept for it; any other argument is ignored.
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--version") == 0) {
            std::printf("vernaskel %s\n", VERNASKEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[k], "--help") == 0) {
            std::printf("vernaskel %s\n\n%s%s%s%s", VERNASKEL_VERSION, USAGE_TEXT, ControlsText().c_str(), DATA_TEXT,
                        OPTIONS_TEXT);
            return 0;
        }
    }
    std::string error;
    if (!ParseLaunchOptions(argc, argv, &launchOptions, &error)) {
        std::fprintf(stderr, "vernaskel: %s\n", error.c_str());
        return 1;
    }
    return WinMain();
}
