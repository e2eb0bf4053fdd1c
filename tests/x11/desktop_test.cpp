// The shipped program on a desktop with a window manager (openbox on Xvfb):
// the window and its frame on the screen, resizing, minimising, focus moving
// away, and a storm of random input.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "tests/support/test_data.h"
#include "tests/x11/xvfb_session.h"

namespace {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// The first rule's upper body strip: its top edge lies at y 9, depth 23.
constexpr double STRIP_TOP_Y = 9.0;
constexpr double STRIP_X = -8.0;
constexpr double STRIP_DEPTH = 23.0;

double ProjectX(double x, double z, double width) { return (x * 0.0058 / (0.004 * z) + 1.0) * 0.5 * width; }
double ProjectY(double y, double z, double height) { return (1.0 - y * 0.0058 / (0.0033 * z)) * 0.5 * height; }

void Pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

class Desktop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        started = StartXvfb(SCREEN_WIDTH, SCREEN_HEIGHT, &session) && StartWindowManager(&session);
    }
    static void TearDownTestSuite() { StopXvfb(&session); }

    void SetUp() override {
        ASSERT_TRUE(started) << "Xvfb with openbox did not start";
        workDir = MakeDataDirectory(WhiteTextureData());
        ASSERT_FALSE(workDir.empty());
    }
    void TearDown() override {
        if (program.pid > 0) WaitForExit(&program, 0);
    }

    // Starts the program and waits until the window manager has framed its
    // window and the program has fitted itself inside the screen.
    unsigned long Launch(ManagedGeometry* geometry) {
        program = StartProgramIn(session.display, VERNASKEL_BINARY, workDir);
        const unsigned long window = FindWindowByTitle(session, " Vernaskel", 20);
        if (window == 0) return 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            *geometry = ManagedGeometry{};
            if (GetManagedGeometry(session, window, geometry) && geometry->frameTop > 0 &&
                geometry->frameTop + geometry->height + geometry->frameBottom <= SCREEN_HEIGHT) {
                break;
            }
            Pause(0.1);
        }
        return window;
    }

    int Run(const std::string& command) { return RunInSession(session, command); }

    // The screen row of the first rule's top edge, found in the column
    // through the strip, once it has settled (two pictures agree); -1 if the
    // column shows no strip (waited for only when `absent` is allowed).
    int StripTopRow(int column, bool absent = false) {
        int previous = -2;
        for (int attempt = 0; attempt < 40; ++attempt) {
            Screenshot shot;
            if (!TakeScreenshot(session, &shot)) return -1;
            int row = -1;
            for (int y = 0; y < shot.height && row < 0; ++y) {
                const unsigned char* p = shot.At(column, y);
                if (p[0] == 255 && p[1] == 255 && p[2] == 255) row = y;
            }
            if ((row >= 0 || absent) && row == previous) return row;
            previous = row;
            Pause(0.1);
        }
        return -1;
    }

    // The strip's top edge where the projection puts it for this client area.
    static int ExpectedTopRow(const ManagedGeometry& g) {
        return g.y + static_cast<int>(ProjectY(STRIP_TOP_Y, STRIP_DEPTH, g.height));
    }
    static int StripColumn(const ManagedGeometry& g) {
        return g.x + static_cast<int>(ProjectX(STRIP_X, STRIP_DEPTH, g.width));
    }

    void EndWithEscape(unsigned long window) {
        Run("xdotool windowactivate --sync " + std::to_string(window) + " key Escape");
        EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
    }

    static inline XvfbSession session;
    static inline bool started = false;
    std::string workDir;
    RunningProgram program;
};

// The whole window, frame included, is the screen; the client area is what
// the frame leaves, and the picture follows it through a resize, a
// minimise and a restore.
TEST_F(Desktop, TheFramedWindowFillsTheScreenAndThePictureFollowsItsClientArea) {
    ManagedGeometry g;
    const unsigned long window = Launch(&g);
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    ASSERT_GT(g.frameTop, 0) << "openbox reported no frame";
    EXPECT_EQ(g.x - g.frameLeft, 0);
    EXPECT_EQ(g.y - g.frameTop, 0);
    EXPECT_EQ(g.frameLeft + g.width + g.frameRight, SCREEN_WIDTH);
    EXPECT_EQ(g.frameTop + g.height + g.frameBottom, SCREEN_HEIGHT);
    EXPECT_LT(g.height, SCREEN_HEIGHT);
    EXPECT_NEAR(StripTopRow(StripColumn(g)), ExpectedTopRow(g), 1);

    ASSERT_EQ(Run("xdotool windowsize --sync " + std::to_string(window) + " 600 400"), 0);
    ManagedGeometry resized;
    ASSERT_TRUE(GetManagedGeometry(session, window, &resized));
    ASSERT_EQ(resized.width, 600);
    ASSERT_EQ(resized.height, 400);
    EXPECT_NEAR(StripTopRow(StripColumn(resized)), ExpectedTopRow(resized), 1);

    ASSERT_EQ(Run("xdotool windowminimize --sync " + std::to_string(window)), 0);
    Pause(0.5);
    EXPECT_EQ(StripTopRow(StripColumn(resized), true), -1);  // nothing of it on the screen
    ASSERT_EQ(Run("xdotool windowactivate --sync " + std::to_string(window)), 0);
    EXPECT_NEAR(StripTopRow(StripColumn(resized)), ExpectedTopRow(resized), 1);
    EndWithEscape(window);
}

// Up held, then another window takes the keyboard and hears the release: the
// zoom stops rather than running on.
TEST_F(Desktop, FocusMovingAwayWhileAZoomKeyIsHeldStopsTheZoom) {
    ManagedGeometry g;
    const unsigned long window = Launch(&g);
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    const int column = StripColumn(g);
    const int atStart = StripTopRow(column);
    ASSERT_NEAR(atStart, ExpectedTopRow(g), 1);

    Run("xmessage -geometry 200x80+700+600 elsewhere >/dev/null 2>&1 &");
    const unsigned long other = FindWindowByTitle(session, "xmessage", 10);
    ASSERT_NE(other, 0u);
    Run("xdotool windowactivate --sync " + std::to_string(window) + " keydown Up sleep 0.3 windowactivate --sync " +
        std::to_string(other) + " keyup Up");
    const int afterFocusMoved = StripTopRow(column);
    EXPECT_LT(afterFocusMoved, atStart - 5) << "the zoom never ran";
    Pause(1.0);
    EXPECT_EQ(StripTopRow(column), afterFocusMoved) << "the zoom ran on after the focus moved away";
    Run("xdotool windowclose " + std::to_string(other));
    EndWithEscape(window);
}

// A seeded random storm of pointer motion, drags with either button, clicks,
// key presses, resizes, minimising and restoring. The program stays alive,
// its memory stays flat, and it ends on Escape with status 0.
// VERNASKEL_STORM_SECONDS sets its length (20 by default).
TEST_F(Desktop, ARandomStormLeavesItAliveWithFlatMemory) {
    ManagedGeometry g;
    const unsigned long window = Launch(&g);
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    const char* secondsText = std::getenv("VERNASKEL_STORM_SECONDS");
    const double seconds = secondsText != nullptr ? std::atof(secondsText) : 20.0;
    std::mt19937 random(20261207);
    auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::string id = std::to_string(window);
    static const char* const KEYS[] = {"Up", "Down", "KP_Add", "KP_Subtract", "Shift_L", "Shift_R", "0", "3", "5",
                                       "9", "a", "space"};

    // Memory is compared at one window size: the picture's buffers follow it.
    auto residentAtSetSize = [&] {
        Run("xdotool windowactivate --sync " + id + " windowsize --sync " + id + " 800 600 sleep 1");
        return ResidentKb(program.pid);
    };
    // Warm-up: the largest size the storm uses, once, so that the buffers
    // have grown to it before the first measure.
    Run("xdotool windowactivate --sync " + id + " windowsize --sync " + id + " " + std::to_string(SCREEN_WIDTH - 2) +
        " " + std::to_string(SCREEN_HEIGHT - 25) + " sleep 1");
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long earlyKb = 0;
    int steps = 0;
    while (elapsed() < seconds) {
        // Where the client area is now; the pointer stays inside it, away
        // from the frame's buttons.
        ManagedGeometry now;
        if (!GetManagedGeometry(session, window, &now) || now.width < 20 || now.height < 20) now = g;
        auto point = [&] {
            return std::to_string(now.x + uniform(5, now.width - 5)) + " " + std::to_string(now.y + uniform(5, now.height - 5));
        };
        std::string command = "xdotool windowactivate --sync " + id;
        switch (uniform(0, 7)) {
            case 0:
            case 1: {
                const char* button = uniform(0, 1) == 0 ? "1" : "3";
                command += " mousemove " + point() + " mousedown " + button;
                for (int k = uniform(1, 6); k > 0; --k) command += " mousemove " + point() + " sleep 0.05";
                command += std::string(" mouseup ") + button;
                break;
            }
            case 2: command += " mousemove " + point() + " click " + (uniform(0, 1) == 0 ? "1" : "3"); break;
            case 3:
            case 4: {
                const std::string key = KEYS[uniform(0, static_cast<int>(std::size(KEYS)) - 1)];
                command += " keydown " + key + " sleep 0." + std::to_string(uniform(1, 5)) + " keyup " + key;
                break;
            }
            case 5:
                command += " windowsize --sync " + id + " " + std::to_string(uniform(200, SCREEN_WIDTH - 2)) + " " +
                           std::to_string(uniform(150, SCREEN_HEIGHT - 25));
                break;
            case 6: command = "xdotool windowminimize --sync " + id + " sleep 0.3 windowactivate --sync " + id; break;
            default: command += " mousemove " + point() + " sleep 0.2"; break;
        }
        Run(command + " >/dev/null 2>&1");
        ++steps;
        int status = 0;
        ASSERT_EQ(waitpid(program.pid, &status, WNOHANG), 0) << "the program ended during the storm, step " << steps
                                                            << "\n" << ReadFile(program.stderrPath);
        if (earlyKb == 0 && elapsed() > 3.0) earlyKb = residentAtSetSize();
        if (std::getenv("VERNASKEL_STORM_TRACE") != nullptr && steps % 20 == 0) {
            std::printf("storm: step %d, %.0f s, resident %ld kB\n", steps, elapsed(), residentAtSetSize());
        }
    }
    const long endKb = residentAtSetSize();
    std::printf("storm: %d steps in %.1f s; resident %ld kB after the first seconds, %ld kB at the end\n", steps,
                elapsed(), earlyKb, endKb);
    EXPECT_LT(std::labs(endKb - earlyKb), 8 * 1024);
    EndWithEscape(window);
}

}  // namespace
