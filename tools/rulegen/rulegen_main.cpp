// vernaskel-rulegen: draws the rule textures and writes the texture list.
//
//     vernaskel-rulegen --rules FILE [--out DIR] [--all-formats] [--templates]
//     vernaskel-rulegen --model NAME [--models DIR] [--out DIR] [--all-formats] [--templates]
//     vernaskel-rulegen --list-models [--models DIR]
//     vernaskel-rulegen --photo PICTURE [--photo PICTURE2] [--corners ...] [--scales ...] --out DIR
//
// The build runs it with the default description to make build/data. The
// models are the ready-made descriptions that ship with it, found beside
// the executable (see models.h) unless --models names their folder.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/rulegen/models.h"
#include "tools/rulegen/photo_command.h"
#include "tools/rulegen/rule_data.h"
#include "tools/rulegen/rule_description.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: vernaskel-rulegen --rules FILE [--out DIR] [--all-formats] [--templates]\n"
                 "       vernaskel-rulegen --model NAME [--models DIR] [--out DIR] [--all-formats] [--templates]\n"
                 "       vernaskel-rulegen --list-models [--models DIR]\n"
                 "       vernaskel-rulegen --photo PICTURE [--photo PICTURE2] [--corners X1,Y1,...,X4,Y4]\n"
                 "                         [--scales \"K A | B CI C | D L\"] --out DIR\n"
                 "  --rules FILE    the rule description (which scales on which strip)\n"
                 "  --model NAME    a ready-made description (see --list-models)\n"
                 "  --list-models   list the ready-made descriptions, one line each\n"
                 "  --models DIR    the folder of the ready-made descriptions\n"
                 "  --out DIR       where to write ts and the images (default: data)\n"
                 "  --all-formats   also write each texture as .bmp, .tga and .jpg\n"
                 "  --templates     also write template0.bmp and template1.bmp, the strip regions\n"
                 "  --photo PICTURE the rule from a photograph of a real one (--photo alone: more)\n");
    return 2;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "vernaskel-rulegen: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--photo") == 0) return RunPhotoCommand(argc, argv);
    }
    const char* rulesPath = nullptr;
    const char* modelName = nullptr;
    const char* modelsFolder = nullptr;
    bool listModels = false;
    std::string outDir = "data";
    RuleDataOptions options{false, false};
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--rules") == 0 && k + 1 < argc) {
            rulesPath = argv[++k];
        } else if (std::strcmp(argv[k], "--model") == 0 && k + 1 < argc) {
            modelName = argv[++k];
        } else if (std::strcmp(argv[k], "--models") == 0 && k + 1 < argc) {
            modelsFolder = argv[++k];
        } else if (std::strcmp(argv[k], "--list-models") == 0) {
            listModels = true;
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
    // Exactly one of the three tasks.
    if ((rulesPath != nullptr) + (modelName != nullptr) + listModels != 1) return Usage();

    std::string error;
    std::string folder;
    if (modelName != nullptr || listModels) {
        if (!FindModelsFolder(modelsFolder, &folder, &error)) return Fail(error);
    }
    if (listModels) {
        std::vector<ModelEntry> models;
        if (!ListModels(folder, &models, &error)) return Fail(error);
        for (const ModelEntry& model : models) std::printf("%-12s %s\n", model.name.c_str(), model.summary.c_str());
        return 0;
    }
    std::string modelPath;
    if (modelName != nullptr) {
        if (!ModelPath(folder, modelName, &modelPath, &error)) return Fail(error);
        rulesPath = modelPath.c_str();
    }
    RuleDescription description;
    if (!ReadRuleDescriptionFile(rulesPath, &description, &error) ||
        !WriteRuleData(description, outDir, options, &error)) {
        return Fail(error);
    }
    return 0;
}
