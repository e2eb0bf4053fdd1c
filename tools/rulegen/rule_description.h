// The plain-text description of the rules the generator draws.
//
//     # comments run to the end of the line
//     rule 0              texture entry 0 of the list: the upper rule on screen
//     file rule0.tga      file name in the output folder; .bmp, .tga, .jpg or .jpeg picks the format
//     filter m            m: mipmapped, n: plain (the texture list's filter letter)
//     upper K A           scales of the upper body strip, top to bottom
//     slide B CI C        scales of the slide
//     lower D L           scales of the lower body strip
//     rule 1
//     ...
//
// Both rules, 0 and 1, must be described: the scene shows two. A strip line
// may name no scale (a blank strip) and may be left out (blank too).
#pragma once

#include <string>
#include <vector>

#include "scales/scales.h"
#include "scales/strips.h"

enum class ImageFormat { Bmp, Tga, Jpeg };

constexpr int RULE_COUNT = 2;

struct RuleLayout {
    bool present;
    int line;              // where its 'rule' line stands
    std::string fileName;  // in the output folder
    ImageFormat format;
    char filter;  // 'm' or 'n'
    std::vector<const ScaleDefinition*> strips[STRIP_COUNT];  // each top to bottom
};

struct RuleDescription {
    RuleLayout rules[RULE_COUNT];
};

// Parses a description; sourceName prefixes the messages ("name:line: ...").
// On failure *error says what is wrong and where, and *description is left
// unspecified.
bool ParseRuleDescription(const std::string& text, const std::string& sourceName, RuleDescription* description,
                          std::string* error);
// Reads and parses a description file.
bool ReadRuleDescriptionFile(const char* path, RuleDescription* description, std::string* error);

// The format a file name's extension selects; false for any other ending.
bool FormatOfFileName(const std::string& fileName, ImageFormat* format);
// The texture list's type letter of a format: b, t or j.
char TypeLetterOf(ImageFormat format);
const char* ExtensionOf(ImageFormat format);
