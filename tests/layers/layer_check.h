// The floors of the program's rooms (tests/layers/layers.txt) and the
// includes that break them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct Layers {
    std::map<std::string, int> floorOf;                     // room -> floor
    std::set<std::pair<std::string, std::string>> allowed;  // (room, room of its floor it may include)
    int topFloor = -1;
};

// Reads a layer file's text: "N room..." puts rooms on floor N, "allow A B"
// lets room A include room B of its own floor, '#' starts a comment. On a
// mistake: false, with its line and what is wrong.
bool ParseLayers(const std::string& text, Layers* layers, int* line, std::string* problem);

// Every quoted include in the .h and .cpp files of the rooms below the top
// floor, under sourceDir, that reaches a higher floor, another room of the
// same floor without an allow line, or no room at all; one line each,
// "file:line: includes X (floor N) from room Y (floor M)", by file and line.
std::vector<std::string> WrongIncludes(const std::string& sourceDir, const Layers& layers);
