// The default data: the texture list and its images, written into a folder.
#pragma once

#include <string>

#include "tools/rulegen/rule_description.h"

struct RuleDataOptions {
    bool allFormats;  // also write each texture in the two formats the list does not name
    bool templates;   // also write template0.bmp and template1.bmp
};

// Draws both rules from the panel table's strips and writes, into outDir
// (made when missing): the images, the scale map "scales", then the texture
// list "ts", whose paths read "data\<file>" as the program, started in
// outDir's parent, expects.
bool WriteRuleData(const RuleDescription& description, const std::string& outDir, const RuleDataOptions& options,
                   std::string* error);

// The texture list text for a description.
std::string TextureListText(const RuleDescription& description);

// The scale map text for a description: which scales lie on which strip of
// each texture of the list, by their names, for the program to read the
// rules out with. The format (the program's reader: reading/scale_map.h):
//
//     # comments run to the end of the line
//     texture 0          the list's entry 0
//     upper K A          the upper body strip's scales, top to bottom
//     slide B CI C       the slide's
//     lower D L          the lower body strip's
//     texture 1
//     ...
std::string ScaleMapText(const RuleDescription& description);
