// The ready-made models: the generator's command finds them beside itself
// as it is built, lists them and writes each one's data; the program loads
// every model without a message and shows each of its scales where the
// scale's function puts it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/support/test_data.h"
#include "tools/rulegen/models.h"
#include "tools/screenshot/rule_reading.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

struct Ran {
    int status;
    std::string output;  // standard output and error
};

// Runs the built generator with the arguments (words without quotes).
Ran RunGenerator(const std::string& arguments) {
    const std::string command = std::string(VERNASKEL_RULEGEN) + " " + arguments + " 2>&1";
    Ran ran{-1, ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return ran;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.output.append(buffer, got);
    const int status = pclose(pipe);
    ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ran;
}

std::vector<ModelEntry> SourceModels() {
    std::vector<ModelEntry> models;
    std::string error;
    EXPECT_TRUE(ListModels(VERNASKEL_MODELS_SOURCE_DIR, &models, &error)) << error;
    return models;
}

TEST(Models, TheCommandListsTheShippedModelsAndRefusesAnUnknownName) {
    const std::vector<ModelEntry> models = SourceModels();
    ASSERT_GE(models.size(), 5u);
    const Ran list = RunGenerator("--list-models");
    EXPECT_EQ(list.status, 0) << list.output;
    for (const ModelEntry& model : models) {
        EXPECT_NE(list.output.find(model.name + " "), std::string::npos) << model.name;
        EXPECT_NE(list.output.find(" " + model.summary + "\n"), std::string::npos) << model.summary;
    }

    const std::string folder = MakeDataDirectory({});
    const Ran unknown = RunGenerator("--model no-such-rule --out " + folder + "/data");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("no model 'no-such-rule'"), std::string::npos) << unknown.output;
    EXPECT_NE(unknown.output.find(models.front().name), std::string::npos) << unknown.output;
    EXPECT_FALSE(std::filesystem::exists(folder + "/data"));

    // A folder of one's own models, named on the command line.
    const std::string own = MakeDataDirectory({TextFile("mine.rules", "# My rule\nrule 0\nrule 1\n")});
    const Ran mine = RunGenerator("--list-models --models " + own);
    EXPECT_EQ(mine.status, 0);
    EXPECT_EQ(mine.output, "mine         My rule\n");
}

// A major mark of the scale clear of the cursor window and of the rule's
// ends, where it lies on the screen now; false when the scale has none.
bool MarkToLookFor(const ScaleOnRule& scale, MarkOnScreen* mark) {
    for (const ScaleMark& candidate : MakeScaleMarks(*scale.band.scale, INDEX_LENGTH, MIN_MARK_SPACING)) {
        const double x = std::fabs(SceneXOfPosition(candidate.position));
        std::string error;
        if (candidate.lengthClass == 0 && x > 3.0 && x < 11.0) return LocateMark(scale, candidate.value, mark, &error);
    }
    return false;
}

TEST(Models, EveryModelLoadsWithoutAMessageAndShowsItsScales) {
    for (const ModelEntry& model : SourceModels()) {
        SCOPED_TRACE(model.name);
        const std::string folder = MakeDataDirectory({});
        const Ran made = RunGenerator("--model " + model.name + " --out " + folder + "/data");
        ASSERT_EQ(made.status, 0) << made.output;
        RuleDescription description{};
        std::string error;
        const std::string rules = std::string(VERNASKEL_MODELS_SOURCE_DIR) + "/" + model.name + ".rules";
        ASSERT_TRUE(ReadRuleDescriptionFile(rules.c_str(), &description, &error)) << error;
        ASSERT_TRUE(StartProgramIn(folder, WIDTH, HEIGHT));
        ASSERT_TRUE(HeadlessMessageBoxes().empty()) << HeadlessMessageBoxes()[0].text;
        RunPass();
        RunPass();
        const std::vector<uint8_t> screen = HeadlessReadPixels();
        int scales = 0;
        for (int rule = 0; rule < RULE_COUNT; ++rule) {
            for (const auto& strip : description.rules[rule].strips) {
                for (const ScaleDefinition* scale : strip) {
                    ++scales;
                    ScaleOnRule onRule{};
                    MarkOnScreen mark{};
                    ASSERT_TRUE(FindScaleOnRule(description, rule, scale->name, &onRule, &error)) << error;
                    ASSERT_TRUE(MarkToLookFor(onRule, &mark)) << scale->name;
                    const double found = FindMarkColumn(ScreenPicture{&screen, WIDTH, HEIGHT}, mark);
                    EXPECT_NEAR(found, mark.clientX, 0.5) << "rule " << rule << " " << scale->name << " " << mark.value;
                }
            }
        }
        EXPECT_GT(scales, 0);
        ResetProgramState();
    }
}

}  // namespace
