// The default data through all three readers: texture lists that name the
// images the build drew as TGA, as bitmap and as JPEG files, loaded by the
// program's own loader. No message box appears, and the screen shows the
// picture the TGA files give: the same to the bit from bitmaps, within what
// JPEG's compression changes from JPEG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "images/texture_list.h"
#include "render/textures.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"
#include "tools/screenshot/rule_reading.h"

namespace {

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 720;

// A folder whose texture list names both rules in one format, with links to
// the images the build wrote. Empty on failure.
std::string ListFolder(char typeLetter, const std::string& extension) {
    std::string list = "2\n";
    std::vector<std::string> images;
    for (int rule = 0; rule < RULE_COUNT; ++rule) {
        images.push_back("rule" + std::to_string(rule) + "." + extension);
        list += "rule" + std::to_string(rule) + " " + typeLetter + " m data\\" + images.back() + "\n";
    }
    return MakeLinkedDataDirectory({TextFile("data/ts", list)}, VERNASKEL_DATA_DIR, images);
}

struct Loaded {
    std::vector<uint8_t> picture;
    double dColumn;  // where D's 2 is found, and where it belongs
    double dExpected;
};

// Starts the program on a list of that format and returns the picture
// after start-up; fails the test on any message box.
Loaded LoadAndShow(char typeLetter, const std::string& extension) {
    Loaded loaded{{}, NAN, NAN};
    const std::string folder = ListFolder(typeLetter, extension);
    EXPECT_FALSE(folder.empty());
    EXPECT_TRUE(StartProgramIn(folder, WIDTH, HEIGHT)) << extension;
    for (const HeadlessMessageBox& box : HeadlessMessageBoxes()) {
        ADD_FAILURE() << extension << ": message box \"" << box.caption << "\": " << box.text;
    }
    EXPECT_NE(textureTable.names[0], 0u) << extension;
    EXPECT_NE(textureTable.names[1], 0u) << extension;
    RunPass();
    RunPass();
    loaded.picture = HeadlessReadPixels();

    // The rule is really drawn: D's 2 is where the scale puts it.
    RuleDescription description{};
    ScaleOnRule d{};
    MarkOnScreen mark{};
    std::string error;
    if (ReadRuleDescriptionFile(VERNASKEL_DEFAULT_RULES, &description, &error) &&
        FindScaleOnRule(description, 0, "D", &d, &error) && LocateMark(d, 2.0, &mark, &error)) {
        loaded.dColumn = FindMarkColumn(ScreenPicture{&loaded.picture, WIDTH, HEIGHT}, mark);
        loaded.dExpected = mark.clientX;
    } else {
        ADD_FAILURE() << error;
    }
    ResetProgramState();
    return loaded;
}

struct Difference {
    double mean;  // over every colour value of the picture
    int worst;
};

Difference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return Difference{NAN, 256};
    Difference d{0.0, 0};
    long sum = 0;
    long values = 0;
    for (size_t k = 0; k < a.size(); ++k) {
        if (k % 4 == 3) continue;  // alpha
        const int difference = std::abs(a[k] - b[k]);
        sum += difference;
        d.worst = std::max(d.worst, difference);
        ++values;
    }
    d.mean = static_cast<double>(sum) / values;
    return d;
}

TEST(DefaultDataFormats, EveryReaderShowsTheTgaPictureWithoutAMessage) {
    const Loaded tga = LoadAndShow('t', "tga");
    const Loaded bmp = LoadAndShow('b', "bmp");
    const Loaded jpeg = LoadAndShow('j', "jpg");
    for (const Loaded* loaded : {&tga, &bmp, &jpeg}) EXPECT_NEAR(loaded->dColumn, loaded->dExpected, 1.0);

    const Difference fromBmp = Compare(tga.picture, bmp.picture);
    EXPECT_EQ(fromBmp.worst, 0);
    const Difference fromJpeg = Compare(tga.picture, jpeg.picture);
    std::printf("[ JPEG     ] against TGA on screen: mean %.3f, worst %d\n", fromJpeg.mean, fromJpeg.worst);
    // Measured: mean 0.22, worst 5 (the mipmaps smooth the compression's
    // ringing away). A picture upside down or in other colours is far off.
    EXPECT_LT(fromJpeg.mean, 1.0);
    EXPECT_LE(fromJpeg.worst, 16);
}

}  // namespace
