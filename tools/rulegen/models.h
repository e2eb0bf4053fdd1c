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

// Where the models folder is looked for: beside the data installed with the
// generator (<its folder>/../share/vernaskel/models as installed; on Windows
// <its folder>/models). Empty when the generator's folder cannot be told.
std::vector<std::string> ModelFolderCandidates();

// The first of the candidates that is a folder; false, with a message that
// names every place looked in, when none is.
bool FindModelsFolder(const std::vector<std::string>& candidates, std::string* folder, std::string* error);

// The models of a folder, sorted by name; false, with a message, when the
// folder cannot be read.
bool ListModels(const std::string& folder, std::vector<ModelEntry>* models, std::string* error);

// The description file of a model of the folder; false, with a message that
// lists the models, when the name is not one of them.
bool ModelPath(const std::string& folder, const std::string& name, std::string* path, std::string* error);
