// Drawing a rule's scales into its texture, exactly where the screen needs
// them.
//
// Every strip is first drawn in scene coordinates into a strip raster whose
// columns are the texture's own columns (the texture columns depend only on
// the scene x, see strip_map.h) and whose rows are a fine vertical grid.
// Marks are boxes with exact antialiased coverage, numerals and names come
// from FreeType. The raster is then resampled column by column into texel
// rows through the strip's two triangles. Horizontally nothing is resampled,
// so a mark's centre stays where the scale function puts it.
#pragma once

#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "scene/panels.h"
#include "tools/rulegen/image_files.h"
#include "tools/rulegen/rule_description.h"
#include "scales/scales.h"
#include "tools/rulegen/strip_map.h"

struct RuleFonts {
    FT_Library library;
    FT_Face regular;  // numerals and formulas
    FT_Face bold;     // scale names
};

bool OpenRuleFonts(RuleFonts* fonts, std::string* error);
void CloseRuleFonts(RuleFonts* fonts);

// One scale's place on its strip, in scene units.
struct ScaleBand {
    const ScaleDefinition* scale;
    double bandBottom;
    double bandTop;
    double baseY;       // where the marks start
    double direction;   // +1: the marks grow upward from baseY, -1: downward
    bool baseOnEdge;    // baseY is the strip's edge (else a baseline is drawn)
};

// Stacks the scales (top to bottom) on a strip in equal bands. Scales in the
// upper half hang from the top of their band, the others stand on its
// bottom, so the scales next to the slide's edges meet edge to edge.
std::vector<ScaleBand> LayOutStrip(double bottom, double top, const std::vector<const ScaleDefinition*>& scales);
// Length of a mark of the given class (0 longest) in scene units.
double MarkLength(const ScaleBand& band, int lengthClass);

// One texture as drawn: its size, its three strips (upper body, slide, lower
// body) and the picture, row 0 at t = 0.
struct RuleArtwork {
    TextureSize size;
    StripMap strips[STRIP_COUNT];
    RgbPicture picture;
};

// The sizes of the images on which the panel table's texture coordinates
// were measured: every coordinate is a whole number of texels of these.
constexpr TextureSize RULE_TEXTURE_SIZES[RULE_COUNT] = {{2100, 380}, {2100, 409}};

// The size and strips of a texture entry, from the panel table.
bool MapRuleStrips(const PanelTable& table, int textureIndex, RuleArtwork* artwork, std::string* error);
// Draws the rule's scales; MapRuleStrips must have filled the artwork.
bool DrawRuleTexture(const RuleLayout& rule, const RuleFonts& fonts, RuleArtwork* artwork, std::string* error);
// Draws a template: the strip regions filled and outlined, the index lines
// and the strip names, on grey, for pasting photographs of a real rule.
bool DrawTemplateTexture(int textureIndex, const RuleFonts& fonts, RuleArtwork* artwork, std::string* error);

// Body colour and ink of the rules.
struct Rgb8 {
    uint8_t r, g, b;
};
constexpr Rgb8 BODY_COLOUR = {248, 246, 236};
constexpr Rgb8 INK_COLOUR = {20, 20, 20};
constexpr Rgb8 INVERSE_INK_COLOUR = {196, 24, 24};
