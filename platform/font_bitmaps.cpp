// Glyph display lists from FreeType's monochrome bitmaps, for the text font.
#include "platform/font_bitmaps.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <GL/gl.h>
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/font_lookup.h"
#include "platform/platform.h"

namespace {

// Code points of the bytes 0x80 to 0x9F in code page 1252; above 0x9F the
// code page agrees with Latin-1 and Unicode.
constexpr uint16_t CP1252_HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Families whose glyphs have the advance widths of another's.
struct MetricStandIn {
    const char* family;
    const char* standIn;
};
constexpr MetricStandIn METRIC_STAND_INS[] = {
    {"Arial", "Liberation Sans"},
    {"Arial", "Arimo"},
};

// Sets the face's scale so that ascent plus descent, as the font's Windows
// metrics give them, spans `cellHeight` pixels.
bool SetCellHeight(FT_Face face, int cellHeight) {
    long cellUnits = face->ascender - face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) cellUnits = os2->usWinAscent + os2->usWinDescent;
    if (cellUnits <= 0) cellUnits = face->units_per_EM;
    const double emPixels = static_cast<double>(cellHeight) * face->units_per_EM / static_cast<double>(cellUnits);
    return FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0)), 72, 72) == 0;
}

// Compiles the list of one glyph: its monochrome bitmap, turned bottom row
// first for glBitmap, placed so that the raster position is the glyph's
// origin on the baseline, then the advance, which it returns (0 for a glyph
// that cannot be had).
float CompileGlyphList(FT_Face face, uint32_t codePoint, GLuint list) {
    GLfloat advance = 0.0f;
    glNewList(list, GL_COMPILE);
    const FT_UInt glyph = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int width = static_cast<int>(bitmap.width);
        const int rows = static_cast<int>(bitmap.rows);
        const int rowBytes = (width + 7) / 8;
        std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * static_cast<size_t>(rows) + 1u, 0);
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int row = 0; row < rows; ++row) {
                const unsigned char* from = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
                GLubyte* to = bits.data() + static_cast<size_t>(rows - 1 - row) * static_cast<size_t>(rowBytes);
                for (int byte = 0; byte < rowBytes; ++byte) to[byte] = from[byte];
            }
        }
        advance = static_cast<GLfloat>((slot->advance.x + 32) >> 6);
        glBitmap(width, rows, static_cast<GLfloat>(-slot->bitmap_left), static_cast<GLfloat>(rows - slot->bitmap_top),
                 advance, 0.0f, bits.data());
    }
    glEndList();
    return advance;
}

}  // namespace

uint32_t CodePage1252ToUnicode(uint8_t code) {
    if (code >= 0x80 && code <= 0x9F) return CP1252_HIGH_CONTROLS[code - 0x80];
    return code;
}

bool IsFontFamilyFor(const char* requested, const char* found) {
    if (strcasecmp(requested, found) == 0) return true;
    for (const MetricStandIn& pair : METRIC_STAND_INS) {
        if (strcasecmp(requested, pair.family) == 0 && strcasecmp(found, pair.standIn) == 0) return true;
    }
    return false;
}

bool PlatformUseFontBitmaps(const char* faceName, int cellHeight, bool bold, int first, int count, uint32_t listBase,
                            float* advances) {
    // Character codes are bytes.
    if (first < 0 || count < 0 || first + count > 256) return false;
    FontFile font;
    if (!FindFontFile(faceName, bold, &font)) {
        std::fprintf(stderr, "Vernaskel: no font is installed for the text \"%s\"; text will not show.\n", faceName);
        return false;
    }
    if (!IsFontFamilyFor(faceName, font.family.c_str())) {
        std::fprintf(stderr, "Vernaskel: the font \"%s\" is not installed; text uses \"%s\" (%s).\n", faceName,
                     font.family.c_str(), font.path.c_str());
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face = nullptr;
    bool built = false;
    if (FT_New_Face(library, font.path.c_str(), font.index, &face) == 0) {
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        if (SetCellHeight(face, cellHeight)) {
            // The bitmaps are copied into the lists as they are compiled,
            // with the default unpacking apart from byte alignment.
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
            glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
            glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
            glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
            for (int code = first; code < first + count; ++code) {
                const float advance = CompileGlyphList(face, CodePage1252ToUnicode(static_cast<uint8_t>(code)),
                                                       listBase + static_cast<GLuint>(code));
                if (advances != nullptr) advances[code - first] = advance;
            }
            glPopClientAttrib();
            built = true;
        }
        FT_Done_Face(face);
    }
    if (!built) {
        std::fprintf(stderr, "Vernaskel: cannot load the font file %s; text will not show.\n", font.path.c_str());
    }
    FT_Done_FreeType(library);
    return built;
}
