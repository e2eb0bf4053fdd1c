// The floors of the program's rooms: made-up trees, where each kind of
// include is known to pass or fail, and the real tree against its layer file.
//   vernaskel_layer_tests SOURCE_DIR LAYER_FILE [gtest options]
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/layers/layer_check.h"
#include "tests/support/test_data.h"

namespace {

std::string sourceDir;
std::string layerFile;

// The floors of the made-up trees: the program's own, so that the cases read
// as the real tree would.
constexpr const char* TREE_LAYERS =
    "0 platform\n1 scene scales images\n2 render interaction reading\n3 app\n4 tools tests\n"
    "allow interaction render\n";

Layers TreeLayers() {
    Layers layers;
    int line = 0;
    std::string problem;
    EXPECT_TRUE(ParseLayers(TREE_LAYERS, &layers, &line, &problem)) << line << ": " << problem;
    return layers;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(LayerFile, MistakesSayTheirLine) {
    struct Case {
        const char* text;
        int line;
        const char* problem;
    };
    const Case cases[] = {
        {"0 platform\nfloor 1 scene\n", 2, "a line gives a floor number and its rooms, or 'allow' and two rooms"},
        {"0 platform\n1\n", 2, "a line gives a floor number and its rooms, or 'allow' and two rooms"},
        {"0 platform\n1 scene platform\n", 2, "room 'platform' is named twice"},
        {"0 platform\n1 scene\n# why\nallow scene platform\n", 4, "'allow' is for two rooms of one floor"},
        {"allow render view\n2 render\n", 1, "'allow' names a room on no floor"},
        {"1 scene images\nallow scene\n", 2, "'allow' takes two rooms"},
    };
    for (const Case& c : cases) {
        Layers layers;
        int line = 0;
        std::string problem;
        EXPECT_FALSE(ParseLayers(c.text, &layers, &line, &problem)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_EQ(problem, c.problem) << c.text;
    }
}

TEST(LayerCheck, NamesEveryIncludeThatReachesUpOrSidewaysAndNoOther) {
    struct Case {
        const char* what;
        std::vector<DataFile> tree;
        std::vector<std::string> wrong;
    };
    const Case cases[] = {
        {"an include from a higher floor",
         {TextFile("images/x.cpp", "#include \"images/x.h\"\n\n#include \"app/app_window.h\"\n"),
          TextFile("images/x.h", "#pragma once\n"), TextFile("app/app_window.h", "#pragma once\n")},
         {"images/x.cpp:3: includes app/app_window.h (floor 3) from room images (floor 1)"}},
        {"includes from lower floors, the own room and platform's subfolders",
         {TextFile("app/main.cpp",
                   "#include \"app/app_window.h\"\n#include <vector>\n#include \"render/view.h\"\n"
                   "#include \"scene/panels.h\"\n#include \"platform/posix/mapped.h\"\n"),
          TextFile("render/view.h", "#include \"scene/scene_math.h\"\n#  include \"platform/platform.h\"\n"),
          TextFile("platform/posix/mapped.cpp", "#include \"platform/mapped_file.h\"\n#include \"mapped.h\"\n"),
          TextFile("images/image.cpp", "#include \"image.h\"\n// #include \"app/app_window.h\"\n")},
         {}},
        {"a room of the same floor, with and without an allow line",
         {TextFile("interaction/picking.cpp", "#include \"render/view.h\"\n"),
          TextFile("reading/readout.cpp", "#include \"render/view.h\"\n#include \"interaction/dragging.h\"\n"),
          TextFile("scene/panels.h", "#include \"images/image.h\"\n")},
         {"reading/readout.cpp:1: includes render/view.h (floor 2) from room reading (floor 2)",
          "reading/readout.cpp:2: includes interaction/dragging.h (floor 2) from room reading (floor 2)",
          "scene/panels.h:1: includes images/image.h (floor 1) from room scene (floor 1)"}},
        {"the top floor and what lies in no room",
         {TextFile("tools/gen.cpp", "#include \"app/app_window.h\"\n"),
          TextFile("reading/scales.h", "#include \"tools/rulegen/scales.h\"\n#include \"third/lib.h\"\n"),
          TextFile("scene/up.cpp", "#include \"../app/main.h\"\n")},
         {"reading/scales.h:1: includes tools/rulegen/scales.h (floor 4) from room reading (floor 2)",
          "reading/scales.h:2: includes third/lib.h (no floor) from room reading (floor 2)",
          "scene/up.cpp:1: includes ../app/main.h (floor 3) from room scene (floor 1)"}},
    };
    const Layers layers = TreeLayers();
    for (const Case& c : cases) {
        const std::string tree = MakeDataDirectory(c.tree);
        ASSERT_FALSE(tree.empty()) << c.what;
        EXPECT_EQ(Joined(WrongIncludes(tree, layers)), Joined(c.wrong)) << c.what;
    }
}

TEST(RealTree, EveryIncludeKeepsToItsFloor) {
    std::ifstream in(layerFile);
    ASSERT_TRUE(in) << "cannot read " << layerFile;
    std::ostringstream text;
    text << in.rdbuf();
    Layers layers;
    int line = 0;
    std::string problem;
    ASSERT_TRUE(ParseLayers(text.str(), &layers, &line, &problem)) << layerFile << ":" << line << ": " << problem;
    const std::vector<std::string> wrong = WrongIncludes(sourceDir, layers);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " includes break the floors of " << layerFile
                               << " (an include of a room of the same floor needs an allow line there):\n"
                               << Joined(wrong);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE_DIR LAYER_FILE [gtest options]\n", argv[0]);
        return 2;
    }
    sourceDir = argv[1];
    layerFile = argv[2];
    return RUN_ALL_TESTS();
}
