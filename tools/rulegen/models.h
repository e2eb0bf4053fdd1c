// Ready-made rule descriptions, the models: one NAME.rules file each in a
// models folder that ships with the generator. The first comment line of a
// model is its one-line summary.
#pragma once

#include <string>
#include <vector>

struct ModelEntry {
    std::string name;
    std::string summary;
};

// The models folder: `given` when it is not null, else the one beside the
// data installed with the generator (<its folder>/../share/vernaskel/models
// as installed; <its folder>/models on Windows). False, with a message that
// names the place looked in, when that is not a folder.
bool FindModelsFolder(const char* given, std::string* folder, std::string* error);

// The models of a folder, sorted by name; false, with a message, when the
// folder cannot be read.
bool ListModels(const std::string& folder, std::vector<ModelEntry>* models, std::string* error);

// The description file of a model of the folder; false, with a message that
// lists the models, when the name is not one of them.
bool ModelPath(const std::string& folder, const std::string& name, std::string* path, std::string* error);
