#include "reading/scale_map.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/platform.h"

ScaleMap scaleMap;

bool ParseScaleMap(const std::string& text, ScaleMap* map, int* line, std::string* problem) {
    *map = ScaleMap{};
    std::istringstream lines(text);
    std::string content;
    int texture = -1;
    for (*line = 1; std::getline(lines, content); ++*line) {
        const size_t comment = content.find('#');
        if (comment != std::string::npos) content.erase(comment);
        std::istringstream words(content);
        std::string keyword;
        if (!(words >> keyword)) continue;
        if (keyword == "texture") {
            std::string number;
            std::string more;
            if (!(words >> number) || (words >> more)) {
                *problem = "'texture' takes one number";
                return false;
            }
            char* end = nullptr;
            const long value = std::strtol(number.c_str(), &end, 10);
            if (*end != '\0' || value < 0 || value >= TEXTURE_TABLE_CAPACITY) {
                *problem = "no texture " + number + " (0 to " + std::to_string(TEXTURE_TABLE_CAPACITY - 1) + ")";
                return false;
            }
            texture = static_cast<int>(value);
            map->textures[texture] = TextureScales{true, {}};
            continue;
        }
        int strip = 0;
        if (!StripOfWord(keyword, &strip)) {
            *problem = "unknown word '" + keyword + "'; a line names a texture or a strip (upper, slide, lower)";
            return false;
        }
        if (texture < 0) {
            *problem = "a strip before any texture";
            return false;
        }
        std::vector<const ScaleDefinition*>& scales = map->textures[texture].strips[strip];
        scales.clear();
        for (std::string name; words >> name;) {
            const ScaleDefinition* scale = FindScale(name);
            if (scale == nullptr) {
                *problem = "unknown scale '" + name + "'";
                return false;
            }
            if (scales.size() == MAX_SCALES_PER_STRIP) {
                *problem = "a strip holds at most " + std::to_string(MAX_SCALES_PER_STRIP) + " scales";
                return false;
            }
            scales.push_back(scale);
        }
    }
    map->state = ScaleMapState::Loaded;
    return true;
}

void LoadScaleMap() {
    scaleMap = ScaleMap{};
    char shownPath[1024];
    if (!PlatformResolvePath(SCALE_MAP_PATH, shownPath, sizeof shownPath)) return;
    FILE* file = PlatformOpenFile(SCALE_MAP_PATH, "rb");
    if (file == nullptr) return;  // no map: no readout
    std::string text;
    char chunk[4096];
    bool tooLong = false;
    for (size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        text.append(chunk, read);
        if (static_cast<long>(text.size()) > SCALE_MAP_MAX_BYTES) {
            tooLong = true;
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    int line = 0;
    std::string problem;
    if (failed || tooLong) {
        std::fprintf(stderr, "Vernaskel: %s: %s; the rules are shown without their readout.\n", shownPath,
                     failed ? "cannot be read" : "too long for a scale map");
    } else if (!ParseScaleMap(text, &scaleMap, &line, &problem)) {
        std::fprintf(stderr, "Vernaskel: %s:%d: %s; the rules are shown without their readout.\n", shownPath, line,
                     problem.c_str());
    } else {
        return;
    }
    scaleMap = ScaleMap{};
    scaleMap.state = ScaleMapState::Malformed;
}
