// The shipped program in a real window: Xvfb, xdotool and a screenshot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/test_data.h"
#include "tests/x11/screen_checks.h"
#include "tests/x11/xvfb_session.h"

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

double ProjectX(double x, double z) { return ::ProjectX(x, z, SCREEN_WIDTH); }
double ProjectY(double y, double z) { return ::ProjectY(y, z, SCREEN_HEIGHT); }
void Project(double x, double y, double z, int* px, int* py) {
    *px = static_cast<int>(ProjectX(x, z));
    *py = static_cast<int>(ProjectY(y, z));
}

// The first pure white pixel of a screenshot row; -1 if none. On a row
// through a slide it is the slide's left end (the cursor window's outline is
// grey, the background black).
int FirstWhiteInRow(const Screenshot& shot, int y) {
    for (int x = 0; x < shot.width; ++x) {
        const unsigned char* p = shot.At(x, y);
        if (p[0] == 255 && p[1] == 255 && p[2] == 255) return x;
    }
    return -1;
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

// The first slide dragged with the real pointer. The pointer is first parked
// away from the rule, so a cursor reading that lags behind the pointer's real
// place makes the slide jump or miss the grab, and the test fail.
TEST_F(RealWindow, DraggingTheFirstSlideMovesItByTheProjectedNumberOfPixels) {
    const unsigned long window = Launch();
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    RunInSession(session, "xdotool mousemove 700 560");

    // A row through the first slide (y 4.03 to 6.97 at depth 23).
    const int row = static_cast<int>(ProjectY(5.5, 23));
    const double leftEnd = ProjectX(-15, 23);
    Screenshot shot;
    int before = -1;
    for (int attempt = 0; attempt < 50 && before < 0; ++attempt) {
        ASSERT_TRUE(TakeScreenshot(session, &shot));
        before = FirstWhiteInRow(shot, row);
        if (before < 0) usleep(100000);
    }
    ASSERT_NEAR(before, leftEnd, 1.0);

    // Press a third of the way along the slide, then 300 pixels to the right
    // in six steps, with a little vertical motion that must count for nothing.
    const int pressX = static_cast<int>(ProjectX(-5, 23));
    std::string drag = "xdotool mousemove " + std::to_string(pressX) + " " + std::to_string(row) +
                       " sleep 0.3 mousedown 1 sleep 0.3";
    for (int step = 1; step <= 6; ++step) {
        drag += " mousemove " + std::to_string(pressX + 50 * step) + " " + std::to_string(row + (step % 2 ? 9 : -7)) +
                " sleep 0.15";
    }
    drag += " sleep 0.2 mouseup 1";
    ASSERT_EQ(RunInSession(session, drag), 0);

    // 300 pixels at depth 23 and the start sensitivity 0.0002: 1.26 units.
    const double predicted = ProjectX(-15 + 300 * (23.0 - 2.0) * 0.0002, 23) - leftEnd;
    int after = before;
    for (int attempt = 0; attempt < 20; ++attempt) {
        usleep(200000);
        ASSERT_TRUE(TakeScreenshot(session, &shot));
        after = FirstWhiteInRow(shot, row);
        if (after != before) break;
    }
    usleep(200000);  // anything still on its way would show now
    ASSERT_TRUE(TakeScreenshot(session, &shot));
    after = FirstWhiteInRow(shot, row);
    std::printf("real window: slide left end %d -> %d, moved %d px, predicted %.2f px\n", before, after,
                after - before, predicted);
    EXPECT_NEAR(after - before, predicted, 1.0);

    PressKey(window, "Escape");
    EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
}

// The run command's case: the program started in the build folder opens the
// rule textured with the default data that the build drew.
TEST_F(RealWindow, OpensTheDefaultRulesFromTheBuildFolder) {
    program = StartProgramIn(session.display, VERNASKEL_BINARY, std::string(VERNASKEL_DATA_DIR) + "/..");
    const unsigned long window = FindWindowByTitle(session, " Vernaskel", 20);
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);

    DefaultRuleCount count;
    ASSERT_TRUE(WaitForDefaultRules(session, 5, &count));
    std::printf("real window, default data: %d dark and %d body-coloured pixels of %d in rows through D\n",
                count.marks, count.body, count.span);
    EXPECT_TRUE(count.Shown());

    PressKey(window, "Escape");
    EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
    // No message box: each one's text goes to standard error too.
    const std::string messages = ReadFile(program.stderrPath);
    EXPECT_EQ(messages.find("Unable"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("Error"), std::string::npos) << messages;
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
