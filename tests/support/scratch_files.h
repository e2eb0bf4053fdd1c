// Files that a test writes for the program to read, in a directory of its
// own that lives until the test process ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The process's scratch directory (made on first use), ending in '/'.
const std::string& ScratchDirectory();

// Writes `bytes` to the scratch directory under `name`; returns the path.
std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes);

// A path in the scratch directory where no file exists.
std::string MissingScratchPath(const std::string& name);
