// vernaskel_icon: writes the program's icon, a small slide rule drawn with
// the generator's scales, as a PNG of the given size.
//
//     vernaskel_icon --size PIXELS --out FILE.png
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/png_file.h"
#include "tools/rulegen/rule_icon.h"

int main(int argc, char** argv) {
    int size = 0;
    const char* out = nullptr;
    for (int k = 1; k + 1 < argc; k += 2) {
        if (std::strcmp(argv[k], "--size") == 0) {
            size = std::atoi(argv[k + 1]);
        } else if (std::strcmp(argv[k], "--out") == 0) {
            out = argv[k + 1];
        }
    }
    if (size < 16 || size > 1024 || out == nullptr || argc != 5) {
        std::fprintf(stderr, "usage: vernaskel_icon --size PIXELS --out FILE.png (16 to 1024 pixels)\n");
        return 2;
    }
    const std::string path = out;
    if (!WritePngFile(path, size, size, 4, DrawRuleIcon(size).data())) {
        std::fprintf(stderr, "vernaskel_icon: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
