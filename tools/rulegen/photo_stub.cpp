// --photo where the generator was built without OpenCV (the Windows and
// browser builds): it says so and fails.
#include <cstdio>

#include "tools/rulegen/photo_command.h"

int RunPhotoCommand(int, char**) {
    std::fprintf(stderr, "vernaskel-rulegen: this vernaskel-rulegen was built without photograph support\n");
    return 1;
}
