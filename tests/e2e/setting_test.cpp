// The setting as text: made from a worked rule, read back before the first
// frame of a fresh start (--set, --resume), refused when it is not one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/app_window.h"
#include "app/last_setting.h"
#include "app/launch_options.h"
#include "app/startup.h"
#include "interaction/picking.h"
#include "learning/setting.h"
#include "scene/panels.h"
#include "tests/support/program.h"
#include "tests/support/test_data.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

void MoveTo(int x, int y) {
    HeadlessSetCursor(HeadlessClientOriginX() + x, HeadlessClientOriginY() + y);
    RunPass();
}

// Takes a slide or cursor window a quarter of the way along, clear of the
// other, and moves it sideways, with a digit key held for the sensitivity.
void DragPanel(int panel, int dx, int digit) {
    ScreenCorner c[4];
    ASSERT_TRUE(ProjectPanelCorners(panelTable.panels[panel], c));
    const int x = static_cast<int>(std::lround(c[0].sx + (c[3].sx - c[0].sx) / 4));
    const int y = static_cast<int>(std::lround((c[0].sy + c[1].sy) / 2));
    MoveTo(x, y);
    HeadlessKey(VK_0 + digit, true);
    HeadlessMouseButton(HeadlessButton::Left, true);
    RunPass();
    MoveTo(x + dx, y);
    HeadlessMouseButton(HeadlessButton::Left, false);
    HeadlessKey(VK_0 + digit, false);
    RunPass();
}

// Both slides and cursor windows moved, the scene panned, zoomed by the
// wheel and by a held key for an odd time, the readout shown.
void WorkTheRule() {
    DragPanel(PANEL_SLIDE_A, 37, 3);
    DragPanel(PANEL_CURSOR_A, -23, 6);
    DragPanel(PANEL_SLIDE_B, -51, 2);
    DragPanel(PANEL_CURSOR_B, 64, 4);
    MoveTo(300, 200);
    HeadlessMouseButton(HeadlessButton::Right, true);
    RunPass();
    MoveTo(287, 209);
    HeadlessMouseButton(HeadlessButton::Right, false);
    HeadlessWheel(3);
    RunPass();
    HeadlessKey(VK_DOWN, true);
    HeadlessAdvanceTicks(137);
    RunPass();
    HeadlessKey(VK_DOWN, false);
    HeadlessKey(VK_A + ('R' - 'A'), true);
    HeadlessKey(VK_A + ('R' - 'A'), false);
    RunPass();
}

// The picture of the state the last pass left.
std::vector<uint8_t> Shown() {
    HeadlessCapturePresented(true);
    RunPass();
    return HeadlessLastPresented();
}

// A fresh start with the given arguments; the picture of its first frame.
std::vector<uint8_t> FirstFrameOfAStartWith(std::vector<const char*> arguments) {
    EXPECT_TRUE(CreateProgramWindow(WIDTH, HEIGHT));
    arguments.insert(arguments.begin(), "vernaskel");
    std::string error;
    EXPECT_TRUE(ParseLaunchOptions(static_cast<int>(arguments.size()), arguments.data(), &launchOptions, &error))
        << error;
    HeadlessCapturePresented(true);
    RunPass();
    return HeadlessLastPresented();
}

size_t DifferentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return a.size() + b.size();
    size_t differing = 0;
    for (size_t k = 0; k < a.size(); k += 4) differing += a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2];
    return differing;
}

class SettingKept : public ::testing::Test {
protected:
    void SetUp() override {
        // Records go to a folder of the test's own, never the user's.
        configHome = MakeDataDirectory({});
        ASSERT_FALSE(configHome.empty());
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        ResetProgramState();
    }
    std::string configHome;
};

TEST_F(SettingKept, GivenWithSetItShowsTheWorkedRuleToThePixelInTheFirstFrame) {
    ASSERT_TRUE(StartProgram(WIDTH, HEIGHT));
    WorkTheRule();
    const std::vector<uint8_t> worked = Shown();
    const std::string text = SettingText(CaptureSetting());
    std::printf("setting: %s\n", text.c_str());
    EXPECT_EQ(text.find_first_not_of("v0123456789.-,_e"), std::string::npos) << text;

    const std::vector<uint8_t> set = FirstFrameOfAStartWith({"--set", text.c_str()});
    EXPECT_EQ(DifferentPixels(worked, set), 0u);
    // Nothing there: the start without it differs.
    ResetProgramState();
    EXPECT_GT(DifferentPixels(worked, FirstFrameOfAStartWith({})), 1000u);
}

TEST_F(SettingKept, ResumeStartsWhereTheLastRunOnTheSameRulesEnded) {
    ASSERT_TRUE(StartProgram(WIDTH, HEIGHT));
    WorkTheRule();
    const std::vector<uint8_t> worked = Shown();
    HeadlessKey(VK_ESCAPE, true);
    EXPECT_FALSE(RunPass());
    KeepSettingAtExit();  // as the entry does when the loop has ended
    std::string record;
    ASSERT_TRUE(LastSettingPath(textureListFolder, &record));
    EXPECT_EQ(record.rfind(configHome + "/vernaskel/last-setting-", 0), 0u) << record;

    EXPECT_EQ(DifferentPixels(worked, FirstFrameOfAStartWith({"--resume"})), 0u);
    // --set wins over --resume.
    const std::vector<uint8_t> plain = FirstFrameOfAStartWith({});
    const std::string start = SettingText(Setting{});
    EXPECT_EQ(DifferentPixels(plain, FirstFrameOfAStartWith({"--resume", "--set", start.c_str()})), 0u);
}

TEST_F(SettingKept, ADamagedOrForeignRecordIsToldInOneLineAndPassedOver) {
    ASSERT_TRUE(StartProgram(WIDTH, HEIGHT));
    const std::vector<uint8_t> plain = Shown();
    const std::string folder = textureListFolder;
    std::string record;
    ASSERT_TRUE(LastSettingPath(folder, &record));
    std::filesystem::create_directories(std::filesystem::path(record).parent_path());
    const std::string moved = SettingText(Setting{{{0.3, 0.1}, {0.7, -0.2}}});
    const struct {
        std::string contents;
        const char* told;
    } cases[] = {
        {"", "is damaged"},
        {"\x01\x02garbage\n", "is damaged"},
        {"vernaskel last setting\nfolder " + folder + "\nset " + moved, "is damaged"},  // cut short
        {"vernaskel last setting\nfolder " + folder + "\nset v1_0.5,0\n", "is damaged: "},
        {"vernaskel last setting\nfolder /elsewhere/data\nset " + moved + "\n", "is another data folder's"},
        {std::string(9000, 'x') + "\n", "is damaged"},
    };
    for (const auto& c : cases) {
        std::ofstream(record, std::ios::binary) << c.contents;
        testing::internal::CaptureStderr();
        const std::vector<uint8_t> shown = FirstFrameOfAStartWith({"--resume"});
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(DifferentPixels(plain, shown), 0u) << c.told;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(told.find('\n'), told.size() - 1) << told;
    }
    // A sound one is read.
    std::ofstream(record, std::ios::binary) << "vernaskel last setting\nfolder " + folder + "\nset " + moved + "\n";
    EXPECT_GT(DifferentPixels(plain, FirstFrameOfAStartWith({"--resume"})), 1000u);
}

TEST(SettingTextRefused, MalformedOrOutOfRangeWithAOneLineReason) {
    const std::string good = "v1_0.5,0_0.5,0_-15,7,23_0.0002_0";
    Setting setting;
    std::string error;
    ASSERT_TRUE(ParseSettingText(good, &setting, &error)) << error;
    EXPECT_EQ(SettingText(setting), good);

    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {"", "not a setting"},
        {"v2_0.5,0_0.5,0_-15,7,23_0.0002_0", "version 2"},
        {"v1_0.5,0_0.5,0_-15,7,23_0.0002", "6 fields"},
        {good + "_", "6 fields"},
        {"v1_0.5_0.5,0_-15,7,23_0.0002_0", "the upper rule takes 2 numbers"},
        {"v1_0.5,0_0.5,0,1_-15,7,23_0.0002_0", "the lower rule takes 2 numbers"},
        {"v1_0.5,0_0.5,0_-15,7_0.0002_0", "the pan and zoom takes 3 numbers"},
        {"v1_x,0_0.5,0_-15,7,23_0.0002_0", "hairline is not a number"},
        {"v1_0.5,+1_0.5,0_-15,7,23_0.0002_0", "slide is not a number"},
        {"v1_0.5, 0_0.5,0_-15,7,23_0.0002_0", "slide is not a number"},
        {"v1_0.5,0_nan,0_-15,7,23_0.0002_0", "is not a number"},
        {"v1_0.5,0_0.5,0_-15,7,23_inf_0", "is not a number"},
        {"v1_0.5,0_0.5,0_-15,7,.5_0.0002_0", "the zoom is not a number"},
        {"v1_0.5,0_0.5,0_-15,7,23._0.0002_0", "the zoom is not a number"},
        {"v1_0.5,0_0.5,0_0x10,7,23_0.0002_0", "is not a number"},
        {good.substr(0, 12) + '\0' + good.substr(12), "hairline is not a number"},
        {"v1_1e999,0_0.5,0_-15,7,23_0.0002_0", "hairline lies outside"},
        {"v1_0.5,1.3_0.5,0_-15,7,23_0.0002_0", "slide lies outside"},
        {"v1_0.5,0_0.5,0_-1036,7,23_0.0002_0", "the pan across lies outside"},
        {"v1_0.5,0_0.5,0_-15,1016,23_0.0002_0", "the pan up and down lies outside"},
        {"v1_0.5,0_0.5,0_-15,7,27_0.0002_0", "the zoom lies outside"},
        {"v1_0.5,0_0.5,0_-15,7,23_0.5_0", "the drag sensitivity lies outside"},
        {"v1_0.5,0_0.5,0_-15,7,23_0.0002_2", "the readout is 0"},
        {"v1_0.5,0_0.5,0_-15,7,23_0.0002_" + std::string(300, '1'), "at most 256"},
    };
    for (const auto& c : cases) {
        Setting untouched;
        error.clear();
        EXPECT_FALSE(ParseSettingText(c.text, &untouched, &error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(SettingText(untouched), SettingText(Setting{})) << c.text;
    }
}

TEST(LaunchOptionsRead, ValuesKeptAndBadOnesRefused) {
    const struct {
        std::vector<const char*> arguments;
        const char* refusal;  // null: read
    } cases[] = {
        {{"--show", "2*3", "--seed", "18446744073709551615", "--resume", "--other"}, nullptr},
        {{"--set", "v1_0.5,0_0.5,0_-15,7,23_0.001_1"}, nullptr},
        {{"--set", "v1_0.5"}, "--set: "},
        {{"--set"}, "--set needs a value"},
        {{"--show"}, "--show needs a value"},
        {{"--seed", "12x"}, "--seed takes a whole number"},
        {{"--seed", "-1"}, "--seed takes a whole number"},
        {{"--seed", "18446744073709551616"}, "--seed takes a whole number"},
        {{"--seed", ""}, "--seed takes a whole number"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv = c.arguments;
        argv.insert(argv.begin(), "vernaskel");
        LaunchOptions options;
        std::string error;
        EXPECT_EQ(ParseLaunchOptions(static_cast<int>(argv.size()), argv.data(), &options, &error), c.refusal == nullptr)
            << argv[1];
        if (c.refusal != nullptr) {
            EXPECT_EQ(error.rfind(c.refusal, 0), 0u) << error;
        }
    }
    const char* argv[] = {"vernaskel", "--show", "2*3", "--seed", "42", "--resume"};
    LaunchOptions options;
    std::string error;
    ASSERT_TRUE(ParseLaunchOptions(6, argv, &options, &error));
    EXPECT_TRUE(options.showGiven && options.show == "2*3" && options.seedGiven && options.seed == 42u &&
                options.resume && !options.setGiven);
}

}  // namespace
