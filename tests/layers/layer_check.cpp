#include "tests/layers/layer_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool IsNumber(const std::string& word) {
    return !word.empty() && word.size() < 4 && std::all_of(word.begin(), word.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

// The room a path lies in: its first folder.
std::string RoomOf(const fs::path& relative) { return relative.begin()->generic_string(); }

// Where an include points, from the source root: a name without a folder or
// one starting with "." lies beside the including file, as the compiler
// looks there first; any other is named from the root.
fs::path Resolve(const fs::path& includer, const std::string& name) {
    if (name.find('/') == std::string::npos || name[0] == '.') {
        return (includer.parent_path() / name).lexically_normal();
    }
    return fs::path(name).lexically_normal();
}

std::string FloorText(const Layers& layers, const std::string& room) {
    const auto found = layers.floorOf.find(room);
    return found == layers.floorOf.end() ? "no floor" : "floor " + std::to_string(found->second);
}

bool Allowed(const Layers& layers, const std::string& from, const std::string& to) {
    const auto target = layers.floorOf.find(to);
    if (target == layers.floorOf.end()) return false;
    const int fromFloor = layers.floorOf.at(from);
    if (from == to || target->second < fromFloor) return true;
    return target->second == fromFloor && layers.allowed.count({from, to}) != 0;
}

void CheckFile(const fs::path& root, const fs::path& relative, const Layers& layers,
               std::vector<std::string>* wrong) {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    const std::string room = RoomOf(relative);
    std::ifstream in(root / relative);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::smatch match;
        if (!std::regex_search(line, match, include)) continue;
        const std::string name = match[1];
        const fs::path target = Resolve(relative, name);
        if (target.empty() || *target.begin() == "..") continue;  // outside the tree: not a room's
        const std::string targetRoom = RoomOf(target);
        if (Allowed(layers, room, targetRoom)) continue;
        wrong->push_back(relative.generic_string() + ":" + std::to_string(number) + ": includes " + name + " (" +
                         FloorText(layers, targetRoom) + ") from room " + room + " (" + FloorText(layers, room) +
                         ")");
    }
}

}  // namespace

bool ParseLayers(const std::string& text, Layers* layers, int* line, std::string* problem) {
    *layers = Layers{};
    std::map<std::pair<std::string, std::string>, int> allowLines;
    std::istringstream in(text);
    *line = 0;
    for (std::string content; std::getline(in, content);) {
        ++*line;
        const std::vector<std::string> words = Words(content);
        if (words.empty()) continue;
        if (words[0] == "allow") {
            if (words.size() != 3) {
                *problem = "'allow' takes two rooms";
                return false;
            }
            allowLines.emplace(std::make_pair(words[1], words[2]), *line);
            continue;
        }
        if (!IsNumber(words[0]) || words.size() < 2) {
            *problem = "a line gives a floor number and its rooms, or 'allow' and two rooms";
            return false;
        }
        const int floor = std::stoi(words[0]);
        for (size_t i = 1; i < words.size(); ++i) {
            if (!layers->floorOf.emplace(words[i], floor).second) {
                *problem = "room '" + words[i] + "' is named twice";
                return false;
            }
        }
        layers->topFloor = std::max(layers->topFloor, floor);
    }
    for (const auto& [rooms, where] : allowLines) {
        *line = where;
        const auto from = layers->floorOf.find(rooms.first);
        const auto to = layers->floorOf.find(rooms.second);
        if (from == layers->floorOf.end() || to == layers->floorOf.end()) {
            *problem = "'allow' names a room on no floor";
            return false;
        }
        if (from->second != to->second) {
            *problem = "'allow' is for two rooms of one floor";
            return false;
        }
        layers->allowed.insert(rooms);
    }
    *line = 0;
    return true;
}

std::vector<std::string> WrongIncludes(const std::string& sourceDir, const Layers& layers) {
    const fs::path root(sourceDir);
    std::vector<fs::path> files;
    for (const auto& [room, floor] : layers.floorOf) {
        std::error_code error;
        if (floor == layers.topFloor || !fs::is_directory(root / room, error)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / room, error)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp")) {
                files.push_back(entry.path().lexically_relative(root));
            }
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> wrong;
    for (const fs::path& file : files) CheckFile(root, file, layers, &wrong);
    return wrong;
}
