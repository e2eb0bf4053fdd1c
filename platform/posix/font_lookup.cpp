// Finding a font file by family name through fontconfig.
#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

namespace {

bool MatchFont(const char* family, bool bold, FontFile* found) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    int index = 0;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (ok) {
        found->path = reinterpret_cast<const char*>(file);
        found->index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
        found->family = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch
                            ? reinterpret_cast<const char*>(matchedFamily)
                            : "";
    }
    FcPatternDestroy(match);
    return ok;
}

}  // namespace

bool FindFontFile(const char* family, bool bold, FontFile* found) {
    if (FcInit() != FcTrue) return false;
    return MatchFont(family, bold, found) || MatchFont("sans-serif", bold, found);
}
