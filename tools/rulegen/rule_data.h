// The default data: the texture list and its images, written into a folder.
#pragma once

#include <string>

#include "tools/rulegen/rule_description.h"

struct RuleDataOptions {
    bool allFormats;  // also write each texture in the two formats the list does not name
    bool templates;   // also write template0.bmp and template1.bmp
};

// Draws both rules from the panel table's strips and writes, into outDir
// (made when missing): the images, then the texture list "ts", whose paths
// read "data\<file>" as the program, started in outDir's parent, expects.
bool WriteRuleData(const RuleDescription& description, const std::string& outDir, const RuleDataOptions& options,
                   std::string* error);

// The texture list text for a description.
std::string TextureListText(const RuleDescription& description);
