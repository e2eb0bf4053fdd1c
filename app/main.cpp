#include <cstdio>
#include <cstring>

#include "app/app_window.h"

namespace {

constexpr const char* HELP_TEXT =
    "Usage: vernaskel [--help | --version]\n"
    "\n"
    "Opens a window with two three-dimensional slide rules to work with the\n"
    "mouse and the keyboard:\n"
    "\n"
    "  left button held over a slide or cursor window, mouse moved sideways\n"
    "                        drags it along the rule, within the rule's ends\n"
    "  0 to 9 while dragging how far a drag moves per pixel (9 fastest, 0 finest)\n"
    "  right button held, mouse moved\n"
    "                        moves the whole scene, within limits\n"
    "  up arrow, keypad +    moves the rules nearer while held\n"
    "  down arrow, keypad -  moves the rules farther away while held\n"
    "  Shift, held           magnifies the picture two times\n"
    "  Escape                ends the program\n"
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
            std::printf("vernaskel %s\n\n%s", VERNASKEL_VERSION, HELP_TEXT);
            return 0;
        }
    }
    return WinMain();
}
