// In the browser the text font is the one the page's data package carries:
// Liberation Sans Bold, with Arial's metrics.
#include <unistd.h>

#include "platform/font_lookup.h"

bool FindFontFile(const char*, bool, FontFile* found) {
    constexpr const char* PATH = "/fonts/LiberationSans-Bold.ttf";
    if (access(PATH, R_OK) != 0) return false;
    found->path = PATH;
    found->index = 0;
    found->family = "Liberation Sans";
    return true;
}
