// The scale map: which scales lie on which strip of each texture of the
// list, by the rule generator's names, as the generator writes it beside the
// textures (data\scales; the format: tools/rulegen/rule_data.h). With it the
// program reads its rules out; without one (photographs, lists made by hand)
// there is simply no readout.
#pragma once

#include <string>
#include <vector>

#include "images/texture_list.h"
#include "scales/scales.h"
#include "scales/strips.h"


struct TextureScales {
    bool described = false;
    std::vector<const ScaleDefinition*> strips[STRIP_COUNT];  // each top to bottom
};

enum class ScaleMapState { Missing, Loaded, Malformed };

struct ScaleMap {
    ScaleMapState state = ScaleMapState::Missing;
    TextureScales textures[TEXTURE_TABLE_CAPACITY];  // by the list's entries
};

extern ScaleMap scaleMap;

// Relative to where the texture list was found, as the list's images are.
constexpr const char* SCALE_MAP_PATH = "data\\scales";
// A map is a few lines; anything longer is not one.
constexpr long SCALE_MAP_MAX_BYTES = 64 * 1024;

// Parses a map's text into *map. On a mistake false, with *line its line
// and *problem what is wrong; *map is then left unspecified.
bool ParseScaleMap(const std::string& text, ScaleMap* map, int* line, std::string* problem);

// Reads the map beside the texture list that start-up loaded. A map that is
// not there leaves the rules without a readout; a malformed one is reported
// once on standard error, with its line, and leaves them without one too.
void LoadScaleMap();
