// Finding a font file by family name, one form for each kind of system:
// through fontconfig (posix/font_lookup.cpp), on Windows through the
// registry's font list (windows/font_lookup.cpp), in the browser the font the
// page's data package carries (web/font_lookup.cpp).
#pragma once

#include <string>

struct FontFile {
    std::string path;    // the face's file
    int index = 0;       // the face's index within the file
    std::string family;  // the family chosen
};

// Finds the best face of `family` (bold or regular). Where the family is not
// installed, a face with its metrics answers (Liberation Sans for Arial on
// Debian and under Wine); where nothing fits it, a sans-serif face does.
// False only when no usable face exists at all.
bool FindFontFile(const char* family, bool bold, FontFile* found);
