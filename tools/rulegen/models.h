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

// The folder of the running executable; empty when it cannot be told.
std::string ExecutableFolder();

// Where the models folder is looked for, in order, relative to the folder
// of the executable: the installed layout (<exe>/../share/vernaskel/models),
// then a folder that holds the program and its models side by side, as an
// unzipped Windows folder does (<exe>/models).
std::vector<std::string> ModelFolderCandidates(const std::string& executableFolder);

// The first of the candidates that is a folder; false, with a message that
// names every place looked in, when none is.
bool FindModelsFolder(const std::vector<std::string>& candidates, std::string* folder, std::string* error);

// The models of a folder, sorted by name; false, with a message, when the
// folder cannot be read.
bool ListModels(const std::string& folder, std::vector<ModelEntry>* models, std::string* error);

// The description file of a model of the folder; false, with a message that
// lists the models, when the name is not one of them.
bool ModelPath(const std::string& folder, const std::string& name, std::string* path, std::string* error);
