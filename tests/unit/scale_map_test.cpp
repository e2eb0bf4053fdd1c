// The scale map beside the texture list: its text, and what start-up does
// when it is missing or malformed.
#include "reading/scale_map.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "tests/support/test_data.h"

namespace {

std::string StripNames(const ScaleMap& map, int texture, int strip) {
    std::string names;
    for (const ScaleDefinition* scale : map.textures[texture].strips[strip]) {
        names += std::string(names.empty() ? "" : " ") + scale->name;
    }
    return names;
}

TEST(ScaleMapText, AGoodMapNamesEachStripsScalesTopToBottom) {
    ScaleMap map{};
    int line = 0;
    std::string problem;
    ASSERT_TRUE(ParseScaleMap("# the generator's comment\ntexture 1\nupper LL2 LL3\nslide\n\ntexture 0  # first\n"
                              "upper K A\nslide B CI C\nlower D L\n",
                              &map, &line, &problem))
        << line << ": " << problem;
    EXPECT_EQ(map.state, ScaleMapState::Loaded);
    EXPECT_TRUE(map.textures[0].described);
    EXPECT_EQ(StripNames(map, 0, STRIP_SLIDE), "B CI C");
    EXPECT_EQ(StripNames(map, 0, STRIP_LOWER_BODY), "D L");
    EXPECT_EQ(StripNames(map, 1, STRIP_UPPER_BODY), "LL2 LL3");
    EXPECT_EQ(StripNames(map, 1, STRIP_SLIDE), "");
    EXPECT_FALSE(map.textures[2].described);
}

TEST(ScaleMapText, MistakesSayTheirLine) {
    struct Case {
        const char* text;
        int line;
        const char* problem;
    };
    const Case cases[] = {
        {"texture 0\nupper K Q\n", 2, "unknown scale 'Q'"},
        {"upper K\n", 1, "a strip before any texture"},
        {"texture 0\n\nslide A B C D\n", 3, "a strip holds at most 3 scales"},
        {"texture 21\n", 1, "no texture 21 (0 to 20)"},
        {"texture x\n", 1, "no texture x (0 to 20)"},
        {"texture 0 1\n", 1, "'texture' takes one number"},
        {"rule 0\n", 1, "unknown word 'rule'; a line names a texture or a strip (upper, slide, lower)"},
    };
    for (const Case& c : cases) {
        ScaleMap map{};
        int line = 0;
        std::string problem;
        EXPECT_FALSE(ParseScaleMap(c.text, &map, &line, &problem)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_EQ(problem, c.problem) << c.text;
    }
}

// The map is read beside the list; without one there is no readout, and a
// malformed one is said once, with its line, and leaves no readout either.
TEST(ScaleMapText, AMissingOrMalformedMapLeavesNoReadout) {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    const std::string none = MakeDataDirectory({TextFile("data/ts", "0\n")});
    const std::string bad = MakeDataDirectory({TextFile("data/scales", "texture 0\nupper K Q\n")});
    ASSERT_EQ(chdir(none.c_str()), 0);
    LoadScaleMap();
    EXPECT_EQ(scaleMap.state, ScaleMapState::Missing);
    ASSERT_EQ(chdir(bad.c_str()), 0);
    ::testing::internal::CaptureStderr();
    LoadScaleMap();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(scaleMap.state, ScaleMapState::Malformed);
    EXPECT_EQ(said, "Vernaskel: data/scales:2: unknown scale 'Q'; the rules are shown without their readout.\n");
    scaleMap = ScaleMap{};
    ASSERT_EQ(chdir(here), 0);
}

}  // namespace
