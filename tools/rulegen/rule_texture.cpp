#include "tools/rulegen/rule_texture.h"

#include <algorithm>
#include <cmath>

#include "platform/font_lookup.h"

namespace {

// Sizes as fractions of a scale's band height.
constexpr double MARK_LENGTH[MARK_LENGTH_CLASSES] = {0.44, 0.37, 0.31, 0.26, 0.22, 0.18, 0.15};
// Mark widths in texels: a little over one, so each mark is a clear line.
constexpr double MARK_WIDTH[MARK_LENGTH_CLASSES] = {1.7, 1.35, 1.3, 1.15, 1.15, 1.05, 1.05};
constexpr double MAJOR_NUMERAL_EM = 0.40;
constexpr double MINOR_NUMERAL_EM = 0.30;
constexpr double NUMERAL_GAP = 0.05;
constexpr double NAME_EM = 0.46;
constexpr double FORMULA_EM = 0.34;
// Height of the digits and capitals above the baseline, in ems.
constexpr double DIGIT_HEIGHT = 0.72;
// The picture fills the window whatever its shape, and on a 16:9 screen a
// scene unit is 1.4667 times as wide as it is high (the view's own aspect is
// 0.004 / 0.0033). Text is drawn that much narrower so it looks right there.
constexpr double SCREEN_STRETCH = (16.0 / 9.0) / (0.004 / 0.0033);
// Scale names and formulas stand centred in the margins at the strip ends.
constexpr double NAME_X = -13.75;
constexpr double FORMULA_X = 13.75;
// Marks that start at a strip's edge run this far past it, so that they
// reach the edge on the screen whatever the filtering; the raster covers it.
constexpr double EDGE_OVERRUN = 0.12;
constexpr double RASTER_MARGIN = 0.16;
constexpr int ROWS_PER_TEXEL = 4;
constexpr double BASELINE_THICKNESS = 0.025;

struct Colour {
    float r, g, b;
};

Colour ColourOf(Rgb8 c) { return Colour{static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b)}; }

// A strip drawn in scene coordinates, one column per texture column.
struct StripRaster {
    const StripMap* strip;
    int firstColumn;  // texture column of raster column 0
    int columns;
    double y0;  // scene y of the bottom of row 0; rows go upward
    double rowHeight;
    int rows;
    double columnWidth;  // scene units per column
    std::vector<float> rgb;
};

double TexelXOfSceneX(const StripMap& strip, double x) {
    return strip.texelX[0] + (x - strip.left) / (strip.right - strip.left) * (strip.texelX[2] - strip.texelX[0]);
}

StripRaster MakeRaster(const StripMap& strip, Colour background) {
    StripRaster raster{};
    raster.strip = &strip;
    raster.columnWidth = (strip.right - strip.left) / (strip.texelX[2] - strip.texelX[0]);
    const double margin = RASTER_MARGIN / raster.columnWidth;
    raster.firstColumn = std::max(0, static_cast<int>(std::floor(strip.texelX[0] - margin)));
    const int lastColumn = std::min(strip.size.width - 1, static_cast<int>(std::ceil(strip.texelX[2] + margin)));
    raster.columns = lastColumn - raster.firstColumn + 1;
    // Rows several times finer than the finest texel row the strip has.
    const double height = strip.top - strip.bottom;
    const double leftTexels = strip.texelY[1] - strip.texelY[0];
    const double rightTexels = strip.texelY[2] - strip.texelY[3];
    raster.rowHeight = height / std::max(leftTexels, rightTexels) / ROWS_PER_TEXEL;
    raster.y0 = strip.bottom - RASTER_MARGIN;
    raster.rows = static_cast<int>(std::ceil((height + 2 * RASTER_MARGIN) / raster.rowHeight));
    raster.rgb.resize(static_cast<size_t>(raster.columns) * raster.rows * 3);
    for (size_t k = 0; k < raster.rgb.size(); k += 3) {
        raster.rgb[k] = background.r;
        raster.rgb[k + 1] = background.g;
        raster.rgb[k + 2] = background.b;
    }
    return raster;
}

void Blend(StripRaster* raster, int column, int row, Colour colour, double alpha) {
    if (column < 0 || column >= raster->columns || row < 0 || row >= raster->rows || alpha <= 0.0) return;
    if (alpha > 1.0) alpha = 1.0;
    float* at = &raster->rgb[(static_cast<size_t>(row) * raster->columns + column) * 3];
    const float a = static_cast<float>(alpha);
    at[0] += (colour.r - at[0]) * a;
    at[1] += (colour.g - at[1]) * a;
    at[2] += (colour.b - at[2]) * a;
}

double Overlap(double a0, double a1, double b0, double b1) { return std::max(0.0, std::min(a1, b1) - std::max(a0, b0)); }

// A filled box, given in texel x (left, right) and scene y (bottom, top),
// with exact area coverage at its edges.
void FillBox(StripRaster* raster, double texelLeft, double texelRight, double bottom, double top, Colour colour,
             double opacity = 1.0) {
    const int c0 = static_cast<int>(std::floor(texelLeft)) - raster->firstColumn;
    const int c1 = static_cast<int>(std::ceil(texelRight)) - raster->firstColumn;
    const int r0 = static_cast<int>(std::floor((bottom - raster->y0) / raster->rowHeight));
    const int r1 = static_cast<int>(std::ceil((top - raster->y0) / raster->rowHeight));
    for (int c = std::max(c0, 0); c <= std::min(c1, raster->columns - 1); ++c) {
        const double across = Overlap(texelLeft, texelRight, raster->firstColumn + c, raster->firstColumn + c + 1.0);
        if (across <= 0.0) continue;
        for (int r = std::max(r0, 0); r <= std::min(r1, raster->rows - 1); ++r) {
            const double rowBottom = raster->y0 + r * raster->rowHeight;
            const double up = Overlap(bottom, top, rowBottom, rowBottom + raster->rowHeight) / raster->rowHeight;
            Blend(raster, c, r, colour, across * up * opacity);
        }
    }
}

// A vertical mark centred on scene x, width in texels, from y0 to y1.
void DrawMark(StripRaster* raster, double x, double widthTexels, double y0, double y1, Colour colour) {
    const double centre = TexelXOfSceneX(*raster->strip, x);
    FillBox(raster, centre - widthTexels / 2, centre + widthTexels / 2, std::min(y0, y1), std::max(y0, y1), colour);
}

// --- Text ------------------------------------------------------------------

// The code points of a UTF-8 text (one- to three-byte forms, which is all
// the labels use: pi, the root sign); anything else becomes '?'.
std::vector<unsigned> CodePoints(const std::string& text) {
    std::vector<unsigned> points;
    const auto tail = [&](size_t k) { return static_cast<unsigned char>(text[k]) & 0x3Fu; };
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (c < 0x80) {
            points.push_back(c);
        } else if ((c & 0xE0) == 0xC0 && k + 1 < text.size()) {
            points.push_back(((c & 0x1Fu) << 6) | tail(k + 1));
            k += 1;
        } else if ((c & 0xF0) == 0xE0 && k + 2 < text.size()) {
            points.push_back(((c & 0x0Fu) << 12) | (tail(k + 1) << 6) | tail(k + 2));
            k += 2;
        } else {
            points.push_back('?');
        }
    }
    return points;
}

// Sets the face so that one FreeType pixel is one raster cell, for text of
// the given em height in scene units.
bool SizeFace(FT_Face face, const StripRaster& raster, double em) {
    const double across = em / SCREEN_STRETCH / raster.columnWidth;
    const double up = em / raster.rowHeight;
    return FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(across * 64)),
                            static_cast<FT_F26Dot6>(std::lround(up * 64)), 72, 72) == 0;
}

// Width of a text in scene units.
double MeasureText(FT_Face face, const StripRaster& raster, const std::string& text, double em) {
    if (!SizeFace(face, raster, em)) return 0.0;
    FT_Set_Transform(face, nullptr, nullptr);
    double columns = 0.0;
    for (unsigned point : CodePoints(text)) {
        if (FT_Load_Char(face, point, FT_LOAD_NO_HINTING) == 0) columns += face->glyph->advance.x / 64.0;
    }
    return columns * raster.columnWidth;
}

// Draws a text with its left end at scene x and its baseline at scene y.
void DrawText(StripRaster* raster, FT_Face face, const std::string& text, double em, double x, double baseline,
              Colour colour) {
    if (!SizeFace(face, *raster, em)) return;
    double penX = TexelXOfSceneX(*raster->strip, x) - raster->firstColumn;  // in columns
    const double penY = (baseline - raster->y0) / raster->rowHeight;      // in rows, upward
    for (unsigned point : CodePoints(text)) {
        // The pen's fractions go to FreeType, so glyphs sit where they
        // should to a fraction of a texel.
        const double wholeX = std::floor(penX);
        const double wholeY = std::floor(penY);
        FT_Vector shift{static_cast<FT_Pos>(std::lround((penX - wholeX) * 64)),
                        static_cast<FT_Pos>(std::lround((penY - wholeY) * 64))};
        FT_Set_Transform(face, nullptr, &shift);
        if (FT_Load_Char(face, point, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                // Bitmap rows run downward from bitmap_top; raster rows upward.
                const int rasterRow = static_cast<int>(wholeY) + glyph->bitmap_top - 1 - static_cast<int>(row);
                const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
                for (unsigned column = 0; column < bitmap.width; ++column) {
                    const int rasterColumn = static_cast<int>(wholeX) + glyph->bitmap_left + static_cast<int>(column);
                    Blend(raster, rasterColumn, rasterRow, colour, line[column] / 255.0);
                }
            }
        }
        penX += glyph->advance.x / 64.0;
    }
    FT_Set_Transform(face, nullptr, nullptr);
}

// A text centred on scene x (horizontally) and on scene y (its digit height).
void DrawCentredText(StripRaster* raster, FT_Face face, const std::string& text, double em, double x, double y,
                     Colour colour) {
    const double width = MeasureText(face, *raster, text, em);
    DrawText(raster, face, text, em, x - width / 2, y - DIGIT_HEIGHT * em / 2, colour);
}

// --- Scales ----------------------------------------------------------------

struct Box {
    double x0, x1, y0, y1;
};

bool Overlaps(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

Box SpanBox(double x0, double x1, double ya, double yb) { return Box{x0, x1, std::min(ya, yb), std::max(ya, yb)}; }

// A numeral beside the tip of its mark, and the room it wants around it.
struct Numeral {
    std::string text;
    double em;
    double x;  // its mark
    Box box;
    double pad;  // clear space it keeps to other numerals on each side
};

Numeral MakeNumeral(const StripRaster& raster, FT_Face face, const ScaleBand& band, const ScaleMark& mark,
                    const std::string& text, double em, double padFraction) {
    const double height = band.bandTop - band.bandBottom;
    const double x = SceneXOfPosition(mark.position);
    const double width = MeasureText(face, raster, text, em);
    const double near = band.baseY + band.direction * (MarkLength(band, mark.lengthClass) + NUMERAL_GAP * height);
    const double far = near + band.direction * DIGIT_HEIGHT * em;
    return Numeral{text, em, x, SpanBox(x - width / 2, x + width / 2, near, far),
                   std::max(width * padFraction, 0.3 * em / SCREEN_STRETCH)};
}

// Whether a numeral stays on the strip, clear of the numerals placed so far
// and of every long mark but its own.
bool NumeralFits(const StripRaster& raster, const Numeral& numeral, const std::vector<Box>& numerals,
                 const std::vector<Box>& marks) {
    const Box& box = numeral.box;
    if (box.x0 < raster.strip->left + 0.1 || box.x1 > raster.strip->right - 0.1) return false;
    const Box clearance{box.x0 - numeral.pad, box.x1 + numeral.pad, box.y0, box.y1};
    for (const Box& other : numerals) {
        if (Overlaps(clearance, other)) return false;
    }
    const Box ownMark{numeral.x - 0.02, numeral.x + 0.02, -1e9, 1e9};
    for (const Box& other : marks) {
        if (Overlaps(box, other) && !Overlaps(other, ownMark)) return false;
    }
    return true;
}

void DrawNumeral(StripRaster* raster, FT_Face face, const Numeral& numeral, Colour colour) {
    DrawText(raster, face, numeral.text, numeral.em, numeral.box.x0, numeral.box.y0, colour);
}

// Numbers a group of marks only when every one of them fits, so a stretch
// of the scale is numbered evenly or not at all.
void PlaceNumeralGroup(StripRaster* raster, FT_Face face, const std::vector<Numeral>& group,
                       std::vector<Box>* numerals, const std::vector<Box>& marks, Colour colour) {
    std::vector<Box> placed = *numerals;
    for (const Numeral& numeral : group) {
        if (!NumeralFits(*raster, numeral, placed, marks)) return;
        placed.push_back(numeral.box);
    }
    for (const Numeral& numeral : group) DrawNumeral(raster, face, numeral, colour);
    *numerals = placed;
}

void DrawScale(StripRaster* raster, const ScaleBand& band, const RuleFonts& fonts) {
    const ScaleDefinition& scale = *band.scale;
    const Colour ink = ColourOf(scale.inverse ? INVERSE_INK_COLOUR : INK_COLOUR);
    const double height = band.bandTop - band.bandBottom;
    const std::vector<ScaleMark> marks = MakeScaleMarks(scale, INDEX_LENGTH, MIN_MARK_SPACING);

    // Marks from the base; at a strip edge they start a little beyond it.
    const double start = band.baseOnEdge ? band.baseY - band.direction * EDGE_OVERRUN : band.baseY;
    std::vector<Box> longMarks;
    for (const ScaleMark& mark : marks) {
        const double x = SceneXOfPosition(mark.position);
        const double tip = band.baseY + band.direction * MarkLength(band, mark.lengthClass);
        DrawMark(raster, x, MARK_WIDTH[mark.lengthClass], start, tip, ink);
        if (mark.lengthClass <= 2) longMarks.push_back(SpanBox(x - 0.03, x + 0.03, band.baseY, tip));
    }
    if (!band.baseOnEdge && !marks.empty()) {
        const double x0 = SceneXOfPosition(std::min(marks.front().position, marks.back().position));
        const double x1 = SceneXOfPosition(std::max(marks.front().position, marks.back().position));
        const double y = band.baseY - band.direction * BASELINE_THICKNESS / 2;
        FillBox(raster, TexelXOfSceneX(*raster->strip, x0) - 0.6, TexelXOfSceneX(*raster->strip, x1) + 0.6,
                y - BASELINE_THICKNESS / 2, y + BASELINE_THICKNESS / 2, ink);
    }

    // Numerals: the majors at both ends first, then the other majors where
    // they fit, then the first subdivision of each major interval where all
    // of its marks can be numbered with room to spare.
    std::vector<Box> numerals;
    std::vector<const ScaleMark*> majors;
    for (const ScaleMark& mark : marks) {
        if (mark.lengthClass == 0) majors.push_back(&mark);
    }
    if (!majors.empty()) {
        std::vector<const ScaleMark*> order = {majors.front(), majors.back()};
        order.insert(order.end(), majors.begin() + 1, majors.end() - 1);
        for (const ScaleMark* mark : order) {
            const Numeral numeral = MakeNumeral(*raster, fonts.regular, band, *mark,
                                                FormatMajorLabel(scale, mark->value), MAJOR_NUMERAL_EM * height, 0.0);
            PlaceNumeralGroup(raster, fonts.regular, {numeral}, &numerals, longMarks, ink);
        }
    }
    std::vector<Numeral> group;
    for (const ScaleMark& mark : marks) {
        if (mark.lengthClass == 0) {
            PlaceNumeralGroup(raster, fonts.regular, group, &numerals, longMarks, ink);
            group.clear();
        } else if (mark.lengthClass <= 2) {
            group.push_back(MakeNumeral(*raster, fonts.regular, band, mark, FormatMinorLabel(mark.value),
                                        MINOR_NUMERAL_EM * height, 0.6));
        }
    }
    PlaceNumeralGroup(raster, fonts.regular, group, &numerals, longMarks, ink);

    const double middle = (band.bandBottom + band.bandTop) / 2;
    DrawCentredText(raster, fonts.bold, scale.name, NAME_EM * height, NAME_X, middle, ink);
    DrawCentredText(raster, fonts.regular, scale.formula, FORMULA_EM * height, FORMULA_X, middle, ink);
}

// --- From the raster into the texture ----------------------------------------

// Every texel of the strip's columns whose rows the raster reaches takes the
// average of the raster over the scene-y stretch that texel row covers at
// that column (through the strip's triangles); beyond the raster the
// background counts.
void ResampleIntoPicture(const StripRaster& raster, Colour background, RgbPicture* picture) {
    const StripMap& strip = *raster.strip;
    const double rasterTop = raster.y0 + raster.rows * raster.rowHeight;
    for (int c = 0; c < raster.columns; ++c) {
        const int column = raster.firstColumn + c;
        const double x = SceneXOfTexelX(strip, column + 0.5);
        const int firstRow = std::max(0, static_cast<int>(std::floor(TexelOfScenePoint(strip, x, raster.y0).y)));
        const int lastRow =
            std::min(picture->height - 1, static_cast<int>(std::floor(TexelOfScenePoint(strip, x, rasterTop).y)));
        for (int row = firstRow; row <= lastRow; ++row) {
            const double yLow = SceneYOfTexelY(strip, x, row);
            const double yHigh = SceneYOfTexelY(strip, x, row + 1.0);
            double sum[3] = {0, 0, 0};
            double covered = 0.0;
            const int r0 = std::max(0, static_cast<int>(std::floor((yLow - raster.y0) / raster.rowHeight)));
            const int r1 = std::min(raster.rows - 1, static_cast<int>(std::floor((yHigh - raster.y0) / raster.rowHeight)));
            for (int r = r0; r <= r1; ++r) {
                const double rowBottom = raster.y0 + r * raster.rowHeight;
                const double weight = Overlap(yLow, yHigh, rowBottom, rowBottom + raster.rowHeight);
                const float* at = &raster.rgb[(static_cast<size_t>(r) * raster.columns + c) * 3];
                for (int k = 0; k < 3; ++k) sum[k] += at[k] * weight;
                covered += weight;
            }
            const double rest = (yHigh - yLow) - covered;
            sum[0] += background.r * rest;
            sum[1] += background.g * rest;
            sum[2] += background.b * rest;
            uint8_t* texel = &picture->rgb[(static_cast<size_t>(row) * picture->width + column) * 3];
            for (int k = 0; k < 3; ++k) {
                const double value = std::lround(sum[k] / (yHigh - yLow));
                texel[k] = static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
            }
        }
    }
}

void FillPicture(RgbPicture* picture, TextureSize size, Colour colour) {
    picture->width = size.width;
    picture->height = size.height;
    picture->rgb.assign(static_cast<size_t>(size.width) * size.height * 3, 0);
    for (size_t k = 0; k < picture->rgb.size(); k += 3) {
        picture->rgb[k] = static_cast<uint8_t>(colour.r);
        picture->rgb[k + 1] = static_cast<uint8_t>(colour.g);
        picture->rgb[k + 2] = static_cast<uint8_t>(colour.b);
    }
}

}  // namespace

bool OpenRuleFonts(RuleFonts* fonts, std::string* error) {
    *fonts = RuleFonts{};
    FontFile regular;
    FontFile bold;
    if (!FindFontFile("Liberation Sans", false, &regular) || !FindFontFile("Liberation Sans", true, &bold)) {
        *error = "no font is installed (on Debian: install fonts-liberation)";
        return false;
    }
    if (FT_Init_FreeType(&fonts->library) != 0) {
        *error = "FreeType cannot be started";
        return false;
    }
    if (FT_New_Face(fonts->library, regular.path.c_str(), regular.index, &fonts->regular) != 0 ||
        FT_New_Face(fonts->library, bold.path.c_str(), bold.index, &fonts->bold) != 0) {
        *error = "the font " + regular.path + " or " + bold.path + " cannot be opened";
        CloseRuleFonts(fonts);
        return false;
    }
    return true;
}

void CloseRuleFonts(RuleFonts* fonts) {
    if (fonts->regular != nullptr) FT_Done_Face(fonts->regular);
    if (fonts->bold != nullptr) FT_Done_Face(fonts->bold);
    if (fonts->library != nullptr) FT_Done_FreeType(fonts->library);
    *fonts = RuleFonts{};
}

std::vector<ScaleBand> LayOutStrip(double bottom, double top, const std::vector<const ScaleDefinition*>& scales) {
    std::vector<ScaleBand> bands;
    const int count = static_cast<int>(scales.size());
    const double height = (top - bottom) / std::max(count, 1);
    for (int k = 0; k < count; ++k) {
        ScaleBand band{};
        band.scale = scales[k];
        band.bandTop = top - k * height;
        band.bandBottom = band.bandTop - height;
        const bool upperHalf = 2 * k + 1 < count;  // the middle one of an odd count stands on its bottom
        band.direction = upperHalf ? -1.0 : 1.0;
        band.baseY = upperHalf ? band.bandTop : band.bandBottom;
        band.baseOnEdge = upperHalf ? k == 0 : k == count - 1;
        bands.push_back(band);
    }
    return bands;
}

double MarkLength(const ScaleBand& band, int lengthClass) {
    return MARK_LENGTH[lengthClass] * (band.bandTop - band.bandBottom);
}

bool MapRuleStrips(const PanelTable& table, int textureIndex, RuleArtwork* artwork, std::string* error) {
    int panels[STRIP_COUNT];
    if (!StripPanelsOfTexture(table, textureIndex, panels)) {
        *error = "the panel table shows no strips with texture " + std::to_string(textureIndex);
        return false;
    }
    if (textureIndex < 0 || textureIndex >= RULE_COUNT) {
        *error = "there is no texture " + std::to_string(textureIndex) + " to draw";
        return false;
    }
    artwork->size = RULE_TEXTURE_SIZES[textureIndex];
    if (!TextureSizeFits(table, textureIndex, artwork->size)) {
        *error = "the texture coordinates of texture " + std::to_string(textureIndex) + " do not fall on texels of " +
                 std::to_string(artwork->size.width) + " x " + std::to_string(artwork->size.height);
        return false;
    }
    for (int k = 0; k < STRIP_COUNT; ++k) {
        if (!MakeStripMap(table.panels[panels[k]], artwork->size, &artwork->strips[k], error)) {
            *error = "panel " + std::to_string(panels[k]) + ": " + *error;
            return false;
        }
    }
    return true;
}

bool DrawRuleTexture(const RuleLayout& rule, const RuleFonts& fonts, RuleArtwork* artwork, std::string* error) {
    (void)error;
    const Colour body = ColourOf(BODY_COLOUR);
    FillPicture(&artwork->picture, artwork->size, body);
    for (int k = 0; k < STRIP_COUNT; ++k) {
        const StripMap& strip = artwork->strips[k];
        StripRaster raster = MakeRaster(strip, body);
        for (const ScaleBand& band : LayOutStrip(strip.bottom, strip.top, rule.strips[k])) {
            DrawScale(&raster, band, fonts);
        }
        ResampleIntoPicture(raster, body, &artwork->picture);
    }
    return true;
}

bool DrawTemplateTexture(int textureIndex, const RuleFonts& fonts, RuleArtwork* artwork, std::string* error) {
    (void)error;
    const Colour grey{150, 150, 150};
    const Colour regionColours[STRIP_COUNT] = {{196, 222, 250}, {250, 238, 186}, {202, 240, 202}};
    const char* const names[STRIP_COUNT] = {"upper body", "slide", "lower body"};
    const Colour ink = ColourOf(INK_COLOUR);
    const Colour red = ColourOf(INVERSE_INK_COLOUR);
    FillPicture(&artwork->picture, artwork->size, grey);
    for (int k = 0; k < STRIP_COUNT; ++k) {
        const StripMap& strip = artwork->strips[k];
        StripRaster raster = MakeRaster(strip, grey);
        const double left = TexelXOfSceneX(strip, strip.left);
        const double right = TexelXOfSceneX(strip, strip.right);
        FillBox(&raster, left, right, strip.bottom, strip.top, regionColours[k]);
        // A one-texel outline just inside the region's edges.
        const double rowLine = raster.rowHeight * ROWS_PER_TEXEL;
        FillBox(&raster, left, right, strip.bottom, strip.bottom + rowLine, ink);
        FillBox(&raster, left, right, strip.top - rowLine, strip.top, ink);
        FillBox(&raster, left, left + 1, strip.bottom, strip.top, ink);
        FillBox(&raster, right - 1, right, strip.bottom, strip.top, ink);
        // The index: where C and D have their 1 and their 10.
        for (double position : {0.0, 1.0}) {
            DrawMark(&raster, SceneXOfPosition(position), 1.0, strip.bottom, strip.top, red);
        }
        const double height = strip.top - strip.bottom;
        const std::string label = "texture " + std::to_string(textureIndex) + ": " + names[k];
        DrawCentredText(&raster, fonts.bold, label, 0.3 * height, 0.0, (strip.bottom + strip.top) / 2, ink);
        DrawCentredText(&raster, fonts.regular, "index", 0.16 * height, SceneXOfPosition(0.0) + 0.8,
                        strip.bottom + 0.2 * height, red);
        DrawCentredText(&raster, fonts.regular, "index", 0.16 * height, SceneXOfPosition(1.0) - 0.8,
                        strip.bottom + 0.2 * height, red);
        ResampleIntoPicture(raster, grey, &artwork->picture);
    }
    return true;
}
