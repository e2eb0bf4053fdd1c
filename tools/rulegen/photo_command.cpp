#include "tools/rulegen/photo_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tools/rulegen/photo_preview.h"
#include "tools/rulegen/photo_rule.h"
#include "tools/rulegen/rule_data.h"

// default.rules as the build found it (the build writes this).
extern const char* const VERNASKEL_DEFAULT_RULES_TEXT;

namespace {

int Usage(const std::string& problem) {
    if (!problem.empty()) std::fprintf(stderr, "vernaskel-rulegen: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: vernaskel-rulegen --photo PICTURE [--photo PICTURE2] [--corners X1,Y1,X2,Y2,X3,Y3,X4,Y4]\n"
                 "                         [--scales \"K A | B CI C | D L\"] --out DIR\n"
                 "  --photo PICTURE  a photograph (JPEG, PNG or BMP) of a rule: the first becomes the upper\n"
                 "                   rule, a second the lower one (else the default lower rule is drawn)\n"
                 "  --corners ...    the rule body's corners in the photograph, in pixels: top-left,\n"
                 "                   top-right, bottom-right, bottom-left; once per photograph, in order\n"
                 "  --scales ...     the strips' scales top to bottom, '|' between strips; once per\n"
                 "                   photograph. Without it only C and D go into the scale map\n"
                 "  --out DIR        the data folder to write (made if missing)\n");
    return 2;
}

bool ParseCorners(const char* text, Outline* outline) {
    double v[8];
    int used = 0;
    if (std::sscanf(text, "%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf%n", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7],
                    &used) != 8 ||
        text[used] != '\0') {
        return false;
    }
    for (int k = 0; k < 4; ++k) outline->corner[k] = cv::Point2d(v[2 * k], v[2 * k + 1]);
    return true;
}

bool ParseScales(const std::string& text, PhotoRequest* request, std::string* error) {
    std::vector<std::string> strips(1);
    for (char c : text) {
        if (c == '|') {
            strips.emplace_back();
        } else {
            strips.back() += c;
        }
    }
    if (strips.size() != STRIP_COUNT) {
        *error = "--scales names three strips, '|' between them, as \"K A | B CI C | D L\"";
        return false;
    }
    for (int strip = 0; strip < STRIP_COUNT; ++strip) {
        std::istringstream words(strips[strip]);
        std::string name;
        while (words >> name) {
            const ScaleDefinition* scale = FindScale(name);
            if (scale == nullptr) {
                *error = "unknown scale '" + name + "' in --scales; the scales are " + KnownScaleNames();
                return false;
            }
            request->strips[strip].push_back(scale);
        }
    }
    const auto has = [&](int strip, const char* name) {
        for (const ScaleDefinition* scale : request->strips[strip]) {
            if (std::strcmp(scale->name, name) == 0) return true;
        }
        return false;
    };
    if (!has(STRIP_SLIDE, "C") || !has(STRIP_LOWER_BODY, "D")) {
        *error = "--scales must name C on the slide and D on the lower strip: the photograph is read by them";
        return false;
    }
    request->hasScales = true;
    return true;
}

bool WriteText(const std::string& path, const std::string& text, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    bool written = file != nullptr && std::fputs(text.c_str(), file) >= 0;
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) *error = path + ": cannot be written";
    return written;
}

// The rules' data: the photographs' textures, the default lower rule where
// there is only one, the scale map and then the list.
bool WriteData(const std::vector<PhotoResult>& results, const std::string& outDir, std::string* error) {
    RuleDescription defaults{};
    if (!ParseRuleDescription(VERNASKEL_DEFAULT_RULES_TEXT, "default.rules", &defaults, error)) return false;
    RuleDescription description = defaults;
    for (size_t number = 0; number < results.size(); ++number) {
        RuleLayout& rule = description.rules[number];
        rule.fileName = "rule" + std::to_string(number) + ".tga";
        rule.format = ImageFormat::Tga;
        rule.filter = 'm';
        for (int strip = 0; strip < STRIP_COUNT; ++strip) rule.strips[strip] = results[number].mapped[strip];
        if (!WriteTgaFile(outDir + "/" + rule.fileName, results[number].artwork.picture, error)) return false;
    }
    if (results.size() < RULE_COUNT) {
        RuleFonts fonts{};
        if (!OpenRuleFonts(&fonts, error)) return false;
        RuleArtwork artwork{};
        const RuleLayout& rule = defaults.rules[1];
        const bool drawn = MapRuleStrips(BuildInitialPanelTable(), 1, &artwork, error) &&
                           DrawRuleTexture(rule, fonts, &artwork, error) &&
                           WritePictureFile(outDir + "/" + rule.fileName, rule.format, artwork.picture, error);
        CloseRuleFonts(&fonts);
        if (!drawn) return false;
    }
    return WriteText(outDir + "/scales", ScaleMapText(description), error) &&
           WriteText(outDir + "/ts", TextureListText(description), error);
}

}  // namespace

int RunPhotoCommand(int argc, char** argv) {
    std::vector<PhotoRequest> requests;
    std::vector<Outline> corners;
    std::vector<std::string> scales;
    std::string outDir;
    for (int k = 1; k < argc; ++k) {
        const bool hasValue = k + 1 < argc;
        if (std::strcmp(argv[k], "--photo") == 0 && hasValue) {
            requests.emplace_back();
            requests.back().path = argv[++k];
        } else if (std::strcmp(argv[k], "--corners") == 0 && hasValue) {
            Outline outline;
            if (!ParseCorners(argv[++k], &outline)) return Usage("--corners takes eight numbers: X1,Y1,X2,Y2,X3,Y3,X4,Y4");
            corners.push_back(outline);
        } else if (std::strcmp(argv[k], "--scales") == 0 && hasValue) {
            scales.push_back(argv[++k]);
        } else if (std::strcmp(argv[k], "--out") == 0 && hasValue) {
            outDir = argv[++k];
        } else {
            return Usage("");
        }
    }
    if (requests.empty() || requests.size() > RULE_COUNT) return Usage("--photo is given once or twice");
    if (outDir.empty()) return Usage("--photo needs --out DIR");
    if (corners.size() > requests.size() || scales.size() > requests.size()) {
        return Usage("--corners and --scales are given at most once per photograph");
    }
    for (size_t k = 0; k < corners.size(); ++k) {
        requests[k].hasCorners = true;
        requests[k].corners = corners[k];
    }
    std::string error;
    for (size_t k = 0; k < scales.size(); ++k) {
        if (!ParseScales(scales[k], &requests[k], &error)) return Usage(error);
    }
    std::error_code failure;
    std::filesystem::create_directories(outDir, failure);
    if (failure) {
        std::fprintf(stderr, "vernaskel-rulegen: %s: cannot be made: %s\n", outDir.c_str(), failure.message().c_str());
        return 1;
    }

    const PanelTable table = BuildInitialPanelTable();
    std::vector<PhotoResult> results;
    bool ok = true;
    for (size_t number = 0; number < requests.size(); ++number) {
        RuleArtwork strips{};
        if (!MapRuleStrips(table, static_cast<int>(number), &strips, &error)) {
            std::fprintf(stderr, "vernaskel-rulegen: %s\n", error.c_str());
            return 1;
        }
        results.push_back(ReadRulePhoto(requests[number], strips));
        const PhotoResult& result = results.back();
        if (!result.ok) {
            std::fprintf(stderr, "vernaskel-rulegen: %s: %s\n", requests[number].path.c_str(), result.failure.c_str());
            ok = false;
            break;
        }
        std::printf("rule %zu from %s: %s outline, C and D read from %d and %d marks (%d and %d numbered), "
                    "%.3f texels from their places on average, %.3f at most\n",
                    number, requests[number].path.c_str(), result.automatic ? "found" : "given", result.fit.marks[1],
                    result.fit.marks[0], result.fit.majors[1], result.fit.majors[0], result.fit.rmsTexels,
                    result.fit.worstTexels);
        for (const std::string& name : result.unfit) {
            std::fprintf(stderr, "vernaskel-rulegen: %s: the scale %s does not fit the photograph: left out of the scale map\n",
                         requests[number].path.c_str(), name.c_str());
        }
    }
    if (ok && !WriteData(results, outDir, &error)) {
        std::fprintf(stderr, "vernaskel-rulegen: %s\n", error.c_str());
        ok = false;
    }
    std::vector<const PhotoResult*> shown;
    for (const PhotoResult& result : results) shown.push_back(&result);
    if (!WritePhotoPreview(outDir + "/photo-preview.png", shown, &error)) {
        std::fprintf(stderr, "vernaskel-rulegen: %s\n", error.c_str());
        return 1;
    }
    return ok ? 0 : 1;
}
