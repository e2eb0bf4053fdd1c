#include "tools/rulegen/models.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/file_paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* MODEL_EXTENSION = ".rules";
constexpr size_t LONGEST_MODEL_NAME = 40;
// The summary is looked for in the first lines of a model only.
constexpr int SUMMARY_SEARCH_LINES = 20;

// Model names are plain words, so that a name given on the command line can
// only ever pick a file of the models folder.
bool ValidModelName(const std::string& name) {
    if (name.empty() || name.size() > LONGEST_MODEL_NAME) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) ||
               c == '-' || c == '_';
    });
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The text of the first comment line that says anything.
std::string SummaryOf(const fs::path& file) {
    std::FILE* stream = std::fopen(file.string().c_str(), "r");
    if (stream == nullptr) return "(cannot be read)";
    std::string summary;
    char line[512];
    for (int k = 0; k < SUMMARY_SEARCH_LINES && summary.empty() && std::fgets(line, sizeof line, stream); ++k) {
        const std::string text = Trimmed(line);
        if (!text.empty() && text[0] == '#') summary = Trimmed(text.substr(1));
    }
    std::fclose(stream);
    return summary.empty() ? "(no summary)" : summary;
}

std::string Names(const std::vector<ModelEntry>& models) {
    std::string names;
    for (const ModelEntry& model : models) names += (names.empty() ? "" : " ") + model.name;
    return names.empty() ? "(none)" : names;
}

}  // namespace

bool FindModelsFolder(const char* given, std::string* folder, std::string* error) {
    std::string candidate;
    char installed[4096];
    if (given != nullptr) {
        candidate = given;
    } else if (PlatformInstalledDataFolder(installed, sizeof installed)) {
        candidate = (fs::path(installed) / "models").string();
    } else {
        *error = "the generator's own folder cannot be told; give the models folder with --models DIR";
        return false;
    }
    std::error_code failure;
    if (!fs::is_directory(candidate, failure)) {
        *error = "no models folder at " + candidate + (given != nullptr ? "" : "; give one with --models DIR");
        return false;
    }
    *folder = candidate;
    return true;
}

bool ListModels(const std::string& folder, std::vector<ModelEntry>* models, std::string* error) {
    models->clear();
    std::error_code failure;
    fs::directory_iterator entries(folder, failure);
    if (failure) {
        *error = folder + ": cannot be read as a models folder: " + failure.message();
        return false;
    }
    for (const fs::directory_entry& entry : entries) {
        const fs::path& path = entry.path();
        const std::string name = path.stem().string();
        std::error_code notFile;
        if (path.extension() != MODEL_EXTENSION || !ValidModelName(name) || !entry.is_regular_file(notFile)) continue;
        models->push_back(ModelEntry{name, SummaryOf(path)});
    }
    std::sort(models->begin(), models->end(),
              [](const ModelEntry& a, const ModelEntry& b) { return a.name < b.name; });
    return true;
}

bool ModelPath(const std::string& folder, const std::string& name, std::string* path, std::string* error) {
    std::vector<ModelEntry> models;
    if (!ListModels(folder, &models, error)) return false;
    for (const ModelEntry& model : models) {
        if (model.name == name) {
            *path = (fs::path(folder) / (name + MODEL_EXTENSION)).string();
            return true;
        }
    }
    std::string shown = name.substr(0, LONGEST_MODEL_NAME);
    for (char& c : shown) {
        if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
    }
    *error = "no model '" + shown + (name.size() > LONGEST_MODEL_NAME ? "...'" : "'") + " in " + folder +
             "; the models are: " + Names(models);
    return false;
}
