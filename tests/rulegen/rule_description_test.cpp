// The rule description: what it accepts, and a clear message for the rest.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tools/rulegen/rule_description.h"

namespace {

const char* const GOOD = R"(# two rules
rule 0
  file top.bmp     # bitmap
  filter n
  upper K A
  slide B CI C
  lower D L
rule 1
  upper LL2 LL3
  slide S T C
  lower D LL1
)";

std::string Names(const std::vector<const ScaleDefinition*>& scales) {
    std::string names;
    for (const ScaleDefinition* scale : scales) names += std::string(names.empty() ? "" : " ") + scale->name;
    return names;
}

TEST(RuleDescription, ReadsRulesStripsFilesAndFilters) {
    RuleDescription description;
    std::string error;
    ASSERT_TRUE(ParseRuleDescription(GOOD, "good", &description, &error)) << error;
    const RuleLayout& first = description.rules[0];
    EXPECT_EQ(first.fileName, "top.bmp");
    EXPECT_EQ(first.format, ImageFormat::Bmp);
    EXPECT_EQ(first.filter, 'n');
    EXPECT_EQ(Names(first.strips[STRIP_UPPER_BODY]), "K A");
    EXPECT_EQ(Names(first.strips[STRIP_SLIDE]), "B CI C");
    EXPECT_EQ(Names(first.strips[STRIP_LOWER_BODY]), "D L");
    // Defaults: a TGA named after the rule, mipmapped.
    const RuleLayout& second = description.rules[1];
    EXPECT_EQ(second.fileName, "rule1.tga");
    EXPECT_EQ(second.format, ImageFormat::Tga);
    EXPECT_EQ(second.filter, 'm');
    EXPECT_EQ(Names(second.strips[STRIP_LOWER_BODY]), "D LL1");
}

TEST(RuleDescription, AStripMayBeBlankOrLeftOut) {
    RuleDescription description;
    std::string error;
    ASSERT_TRUE(ParseRuleDescription("rule 0\nupper\nslide C\nrule 1\nfile b.JPEG\n", "x", &description, &error))
        << error;
    EXPECT_TRUE(description.rules[0].strips[STRIP_UPPER_BODY].empty());
    EXPECT_TRUE(description.rules[0].strips[STRIP_LOWER_BODY].empty());
    EXPECT_EQ(description.rules[1].format, ImageFormat::Jpeg);
}

struct BadCase {
    const char* text;
    const char* message;  // a part of the expected message
};

TEST(RuleDescription, BadInputGetsAMessageWithItsLine) {
    const BadCase cases[] = {
        {"rule 0\nuper K A\n", "x:2: unknown word 'uper'"},
        {"rule 0\nupper K Q\n", "x:2: unknown scale 'Q'; the scales are C D CI"},
        {"rule 2\n", "x:1: 'rule' takes the texture number, 0 or 1"},
        {"rule\n", "x:1: 'rule' takes the texture number"},
        {"rule 0\nrule 1\nrule 0\n", "x:3: rule 0 is described twice (first on line 1)"},
        {"slide C\nrule 0\n", "x:1: 'slide' comes before any 'rule' line"},
        {"rule 0\nslide A B C D\n", "x:2: a strip holds at most 3 scales"},
        {"rule 0\nlower D\nlower L\n", "x:3: 'lower' is given twice for rule 0"},
        {"rule 0\nfile ../up.bmp\n", "x:2: file name '../up.bmp' may hold only letters"},
        {"rule 0\nfile rule.png\n", "x:2: file name 'rule.png' must end in .bmp, .tga, .jpg or .jpeg"},
        {"rule 0\nfile\n", "x:2: 'file' takes one file name"},
        {"rule 0\nfilter x\n", "x:2: 'filter' takes m (mipmapped) or n (plain)"},
        {"rule 0\n", "x: rule 1 is not described"},
        {"", "x: rule 0 is not described"},
        {"rule 0\nfile a.tga\nrule 1\nfile a.tga\n", "x: rules 0 and 1 both write 'a.tga'"},
        {"rule 0\nupper \x01\xff\n", "x:2: unknown scale '\\x01\\xFF'"},
    };
    for (const BadCase& bad : cases) {
        RuleDescription description;
        std::string error;
        EXPECT_FALSE(ParseRuleDescription(bad.text, "x", &description, &error)) << bad.text;
        EXPECT_NE(error.find(bad.message), std::string::npos) << "got: " << error << "\nwanted: " << bad.message;
    }
}

TEST(RuleDescription, LongWordsAreCutShortInMessages) {
    RuleDescription description;
    std::string error;
    const std::string text = "rule 0\nupper " + std::string(100000, 'Z') + "\n";
    EXPECT_FALSE(ParseRuleDescription(text, "x", &description, &error));
    EXPECT_LT(error.size(), 300u);
    EXPECT_NE(error.find("ZZZ...'"), std::string::npos) << error;
}

TEST(RuleDescription, ArbitraryBytesNeverCrashTheParser) {
    // Random mixtures of the description's own words and raw bytes: every
    // one is either accepted or refused with a message.
    const char* const words[] = {"rule", "0", "1", "file", "a.bmp", "filter", "m", "upper", "slide", "lower",
                                 "C",    "D", "LL3", "#",  "\n",    "\t",     "\r", "\0",    "\xff",  " "};
    std::mt19937 random(6);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int pieces = static_cast<int>(random() % 40);
        for (int k = 0; k < pieces; ++k) {
            if (random() % 3 == 0) {
                text += static_cast<char>(random() % 256);
            } else {
                const char* word = words[random() % (sizeof words / sizeof words[0])];
                text += word[0] == '\0' ? std::string(1, '\0') : std::string(word);
                text += random() % 2 ? " " : "\n";
            }
        }
        RuleDescription description;
        std::string error;
        if (!ParseRuleDescription(text, "r", &description, &error)) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(RuleDescription, FilesThatCannotBeReadAreReported) {
    RuleDescription description;
    std::string error;
    EXPECT_FALSE(ReadRuleDescriptionFile("/nonexistent/rules", &description, &error));
    EXPECT_EQ(error, "/nonexistent/rules: cannot be opened");

    const std::string large = ::testing::TempDir() + "vernaskel_large.rules";
    std::FILE* file = std::fopen(large.c_str(), "w");
    ASSERT_NE(file, nullptr);
    const std::string comment = "# " + std::string(1 << 16, 'x') + "\n";
    for (int k = 0; k < 20; ++k) std::fputs(comment.c_str(), file);
    std::fclose(file);
    EXPECT_FALSE(ReadRuleDescriptionFile(large.c_str(), &description, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    std::remove(large.c_str());
}

}  // namespace
