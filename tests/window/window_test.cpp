// The shipped program in a real window: Xvfb, xdotool and a screenshot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/test_data.h"
#include "tests/window/xvfb_session.h"

namespace {

constexpr int SCREEN_WIDTH = 800;
constexpr int SCREEN_HEIGHT = 600;

class RealWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { started = StartXvfb(SCREEN_WIDTH, SCREEN_HEIGHT, &session); }
    static void TearDownTestSuite() { StopXvfb(&session); }

    void SetUp() override {
        ASSERT_TRUE(started) << "Xvfb did not start";
        char dir[] = "/tmp/vernaskel-run-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        workDir = dir;
        ASSERT_TRUE(WriteDataFiles(workDir, WhiteTextureData()));
    }
    void TearDown() override {
        if (program.pid > 0) WaitForExit(&program, 0);
        std::error_code ignored;
        std::filesystem::remove_all(workDir, ignored);
    }

    // Starts the program and waits for its window; 0 if none appeared.
    unsigned long Launch() {
        program = StartProgramIn(session.display, VERNASKEL_BINARY, workDir);
        return FindWindowByTitle(session, " Vernaskel", 20);
    }

    void PressKey(unsigned long window, const char* key) {
        RunInSession(session, "xdotool windowfocus --sync " + std::to_string(window) + " key " + key);
    }

    static inline XvfbSession session;
    static inline bool started = false;
    std::string workDir;
    RunningProgram program;
};

// A top-level window with this exact title that xdotool does not find (SDL's
// message boxes), from the window tree; 0 if none appears in time.
unsigned long FindMessageBox(const XvfbSession& session, const std::string& title, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string tree;
        RunInSession(session, "xwininfo -root -tree", &tree);
        std::istringstream lines(tree);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.find(" \"" + title + "\": ") == std::string::npos) continue;
            return std::strtoul(line.c_str(), nullptr, 16);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}

// Screen pixel of a scene point under the program's perspective, for a
// client area that fills the screen.
void Project(double x, double y, double z, int* px, int* py) {
    const double ndcX = x * 0.0058 / (0.004 * z);
    const double ndcY = y * 0.0058 / (0.0033 * z);
    *px = static_cast<int>((ndcX + 1.0) * 0.5 * SCREEN_WIDTH);
    *py = static_cast<int>((1.0 - ndcY) * 0.5 * SCREEN_HEIGHT);
}

TEST_F(RealWindow, OpensAScreenSizedWindowDrawsTheRuleAndEndsOnEscape) {
    const unsigned long window = Launch();
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    WindowGeometry geometry;
    ASSERT_TRUE(GetWindowGeometry(session, window, &geometry));
    EXPECT_EQ(geometry.width, SCREEN_WIDTH);
    EXPECT_EQ(geometry.height, SCREEN_HEIGHT);

    // Wait until the rule is on screen: the first upper strip's middle.
    int stripX = 0;
    int stripY = 0;
    Project(-8, 8, 23, &stripX, &stripY);
    Screenshot shot;
    for (int attempt = 0; attempt < 50; ++attempt) {
        ASSERT_TRUE(TakeScreenshot(session, &shot));
        if (shot.At(stripX, stripY)[0] == 255) break;
        usleep(100000);
    }
    ASSERT_EQ(shot.width, SCREEN_WIDTH);
    const unsigned char* strip = shot.At(stripX, stripY);
    EXPECT_EQ(strip[0], 255);
    EXPECT_EQ(strip[1], 255);
    EXPECT_EQ(strip[2], 255);
    int rightEndX = 0;
    int unused = 0;
    Project(15, 8, 23, &rightEndX, &unused);
    const unsigned char* background = shot.At(rightEndX + 4, stripY);
    EXPECT_EQ(background[0] + background[1] + background[2], 0);
    int aboveY = 0;
    Project(-8, 9.4, 23, &unused, &aboveY);
    EXPECT_EQ(shot.At(stripX, aboveY)[0], 0);

    PressKey(window, "Escape");
    EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
}

TEST_F(RealWindow, EndsWithStatusZeroWhenTheWindowIsClosed) {
    const unsigned long window = Launch();
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    ASSERT_TRUE(RequestWindowClose(session, window));
    EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
}

TEST_F(RealWindow, MissingTextureListShowsAnErrorBoxThenEndsWithStatusOne) {
    std::filesystem::remove(workDir + "/data/ts");
    ASSERT_NE(Launch(), 0u) << ReadFile(program.stderrPath);
    const unsigned long box = FindMessageBox(session, "Error", 20);
    ASSERT_NE(box, 0u) << ReadFile(program.stderrPath);
    RunInSession(session, "xdotool key --window " + std::to_string(box) + " Return");
    EXPECT_EQ(WaitForExit(&program, 10), 1);
    const std::string message = ReadFile(program.stderrPath);
    EXPECT_NE(message.find("Error: Cannot open the texture list data/ts: No such file or directory."),
              std::string::npos) << message;
}

TEST(NoDisplay, EndsWithStatusOneAndSaysWhy) {
    char dir[] = "/tmp/vernaskel-run-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    RunningProgram program = StartProgramIn("", VERNASKEL_BINARY, dir);
    EXPECT_EQ(WaitForExit(&program, 20), 1);
    const std::string message = ReadFile(program.stderrPath);
    EXPECT_NE(message.find("Vernaskel cannot start"), std::string::npos) << message;
    EXPECT_NE(message.find("display"), std::string::npos) << message;
    rmdir(dir);
}

}  // namespace
