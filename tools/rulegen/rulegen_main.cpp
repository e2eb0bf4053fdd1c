// vernaskel-rulegen: draws the rule textures and writes the texture list.
//
//     vernaskel-rulegen --rules FILE [--out DIR] [--all-formats] [--templates]
//
// The build runs it with the default description to make build/data.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/rulegen/rule_data.h"
#include "tools/rulegen/rule_description.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: vernaskel-rulegen --rules FILE [--out DIR] [--all-formats] [--templates]\n"
                 "  --rules FILE    the rule description (which scales on which strip)\n"
                 "  --out DIR       where to write ts and the images (default: data)\n"
                 "  --all-formats   also write each texture as .bmp, .tga and .jpg\n"
                 "  --templates     also write template0.bmp and template1.bmp, the strip regions\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* rulesPath = nullptr;
    std::string outDir = "data";
    RuleDataOptions options{false, false};
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--rules") == 0 && k + 1 < argc) {
            rulesPath = argv[++k];
        } else if (std::strcmp(argv[k], "--out") == 0 && k + 1 < argc) {
            outDir = argv[++k];
        } else if (std::strcmp(argv[k], "--all-formats") == 0) {
            options.allFormats = true;
        } else if (std::strcmp(argv[k], "--templates") == 0) {
            options.templates = true;
        } else {
            return Usage();
        }
    }
    if (rulesPath == nullptr) return Usage();
    RuleDescription description;
    std::string error;
    if (!ReadRuleDescriptionFile(rulesPath, &description, &error) ||
        !WriteRuleData(description, outDir, options, &error)) {
        std::fprintf(stderr, "vernaskel-rulegen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
