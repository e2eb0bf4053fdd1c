// Finding a font file by family name, through fontconfig.
#pragma once

#include <string>

struct FontFile {
    std::string path;    // the face's file
    int index = 0;       // the face's index within the file
    std::string family;  // the family fontconfig chose
};

// Asks fontconfig for the best face of `family` (bold or regular). Where the
// family is not installed, fontconfig's substitutes answer (Liberation Sans
// for Arial on Debian); where nothing fits it, any sans-serif face does.
// False only when no usable face exists at all.
bool FindFontFile(const char* family, bool bold, FontFile* found);
