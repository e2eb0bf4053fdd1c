// Vernaskel for Windows under Wine on Xvfb: the zip and the installer that
// scripts/build-windows.sh makes, unpacked and installed in a fresh Wine
// prefix and driven by xdotool, and the unit tests built for Windows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/x11/screen_checks.h"
#include "tests/x11/xvfb_session.h"

namespace {

namespace fs = std::filesystem;

// At this width the drag of 100 pixels moves the slide 13.6 pixels.
constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// Wine needs a moment to start and, after the last frame, about two seconds
// to end.
constexpr double START_SECONDS = 60;
constexpr double EXIT_SECONDS = 20;

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class Wine : public ::testing::Test {
protected:
    // One X server and one fresh prefix for every test of the run.
    static void SetUpTestSuite() {
        char dir[] = "/tmp/vernaskel-wine-XXXXXX";
        if (mkdtemp(dir) == nullptr || !StartXvfb(SCREEN_WIDTH, SCREEN_HEIGHT, &session)) return;
        root = dir;
        setenv("WINEPREFIX", (root / "prefix").c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        // No .NET or HTML engine to install, and no menu entries for the
        // desktop outside the prefix.
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
        const std::string unpack = "cd " + Quote(root.string()) + " && " + CMAKE_COMMAND " -E tar xf " +
                                   Quote(VERNASKEL_WINDOWS_ZIP);
        ready = RunInSession(session, "wineboot --init > /dev/null 2>&1 && wineserver -w") == 0 &&
                RunInSession(session, unpack) == 0;
    }
    static void TearDownTestSuite() {
        if (!root.empty()) RunInSession(session, "wineserver -k > /dev/null 2>&1");
        StopXvfb(&session);
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
    }

    void SetUp() override { ASSERT_TRUE(ready) << "Xvfb, the Wine prefix or the zip did not come up"; }
    void TearDown() override {
        if (program.pid > 0) WaitForExit(&program, 0);
    }

    // Runs a Windows program under Wine in `workDir`; its exit status.
    int RunWine(const fs::path& workDir, const std::vector<std::string>& arguments, double seconds,
                std::string* output = nullptr) {
        RunningProgram run = StartProgramIn(session.display, "wine", workDir.string(), arguments);
        const int status = WaitForExit(&run, seconds);
        if (output != nullptr) *output = ReadFile(run.stderrPath);
        return status;
    }

    // Starts the program under Wine and waits for its window; 0 if none.
    unsigned long Launch(const fs::path& workDir, const std::string& exe) {
        program = StartProgramIn(session.display, "wine", workDir.string(), {exe});
        return FindWindowByTitle(session, " Vernaskel", START_SECONDS);
    }

    // Where the window's client area lies once the program has fitted the
    // window, frame included, to the screen (right after it is shown).
    WindowGeometry ClientArea(unsigned long window) {
        WindowGeometry area;
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (GetWindowGeometry(session, window, &area) && area.width < SCREEN_WIDTH) break;
            usleep(100000);
        }
        return area;
    }

    // Waits until the default rules show in the window's client area and
    // says so if they do not; the client area.
    WindowGeometry ExpectDefaultRules(unsigned long window) {
        const WindowGeometry client = ClientArea(window);
        DefaultRuleCount count;
        EXPECT_TRUE(WaitForDefaultRules(session, START_SECONDS, &count, &client));
        EXPECT_TRUE(count.Shown()) << count.marks << " dark and " << count.body << " body-coloured pixels of "
                                   << count.span;
        return client;
    }

    void EndWithEscape(unsigned long window) {
        RunInSession(session, "xdotool windowfocus --sync " + std::to_string(window) + " key Escape");
        EXPECT_EQ(WaitForExit(&program, EXIT_SECONDS), 0) << ReadFile(program.stderrPath);
    }

    static fs::path Unpacked() { return root / "Vernaskel"; }
    static fs::path DriveC() { return root / "prefix" / "drive_c"; }

    static inline XvfbSession session;
    static inline fs::path root;
    static inline bool ready = false;
    RunningProgram program;
};

// The first pixel of a row, from the left, in the slide's body colour; -1 if
// none. On a row through the first slide it is the slide's left end.
int SlideLeftEnd(const Screenshot& shot, int y) {
    for (int x = 0; x < shot.width; ++x) {
        const unsigned char* p = shot.At(x, y);
        if (std::abs(p[0] - 248) <= 6 && std::abs(p[1] - 246) <= 6 && std::abs(p[2] - 236) <= 6) return x;
    }
    return -1;
}

TEST_F(Wine, ProgramsNeedNoLibraryBeyondWindowsOwn) {
    // Without -static they would need the MinGW runtime's DLLs, and Wine
    // would end them with status 53 and no message.
    const std::set<std::string> windowsOwn = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "opengl32.dll",
                                              "glu32.dll",    "advapi32.dll", "shell32.dll",  "ole32.dll",
                                              "oleaut32.dll", "imm32.dll",    "version.dll",  "winmm.dll",
                                              "setupapi.dll", "msvcrt.dll",   "cfgmgr32.dll", "uuid.dll"};
    for (const char* exe : {"vernaskel.exe", "vernaskel-rulegen.exe"}) {
        std::string dump;
        ASSERT_EQ(RunInSession(session, "x86_64-w64-mingw32-objdump -p " + Quote((Unpacked() / exe).string()), &dump),
                  0);
        std::istringstream lines(dump);
        std::string line;
        int imports = 0;
        while (std::getline(lines, line)) {
            const size_t at = line.find("DLL Name: ");
            if (at == std::string::npos) continue;
            std::string name = line.substr(at + 10);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_EQ(windowsOwn.count(name), 1u) << exe << " needs " << name;
            ++imports;
        }
        EXPECT_GT(imports, 0) << exe;
    }
}

TEST_F(Wine, UnitTestsPassOnWindows) {
    // Left out: the loading screen and the mipmaps against GLU need a GL
    // context, which the headless backend makes only through EGL (the
    // mipmaps are checked against GLU's checksums from Linux instead); and
    // Windows cannot open a directory as a file, which the read-error test
    // does to make reads fail.
    std::string output;
    const int status = RunWine(
        root, {VERNASKEL_WINDOWS_UNIT_TESTS,
               "--gtest_filter=-LoadingScreen.*:MipmapsAgainstGlu.*:TextureListWords.ReadErrorsAreReported",
               "--gtest_brief=1"}, 300, &output);
    EXPECT_EQ(status, 0) << output;
}

// The generator finds its font through the registry's list and draws the
// same textures as on Linux.
TEST_F(Wine, RuleGeneratorDrawsTheDefaultRules) {
    std::string output;
    ASSERT_EQ(RunWine(Unpacked(), {"vernaskel-rulegen.exe", "--rules", "default.rules", "--out", "drawn"}, 60,
                      &output), 0) << output;
    for (const char* name : {"rule0.tga", "rule1.jpg"}) {
        const std::string drawn = ReadFile((Unpacked() / "drawn" / name).string());
        const std::string linux = ReadFile(std::string(VERNASKEL_DATA_DIR) + "/" + name);
        ASSERT_EQ(drawn.size(), linux.size()) << name;
        size_t differing = 0;
        for (size_t k = 0; k < drawn.size(); ++k) differing += drawn[k] != linux[k];
        EXPECT_EQ(differing, 0u) << name;
    }
}

TEST_F(Wine, ZipsProgramShowsTheRulesDragsTheSlideAndEndsOnEscape) {
    const unsigned long window = Launch(Unpacked(), "vernaskel.exe");
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    RunInSession(session, "xdotool mousemove 1000 740");
    // The window, frame included, covers the screen: the client area is
    // smaller by the frame, the same width at the sides and the bottom.
    const WindowGeometry g = ExpectDefaultRules(window);
    EXPECT_LT(g.width, SCREEN_WIDTH);
    EXPECT_GT(g.y, g.x);  // the caption
    EXPECT_EQ(SCREEN_WIDTH - g.x - g.width, g.x);
    EXPECT_EQ(SCREEN_HEIGHT - g.y - g.height, g.x);

    // The first slide (y 4.03 to 6.97 at depth 23), pressed a third of the
    // way along and dragged 100 pixels right at the start sensitivity.
    const int row = g.y + static_cast<int>(ProjectY(5.5, 23, g.height));
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(session, &shot));
    const int before = SlideLeftEnd(shot, row);
    ASSERT_NEAR(before, g.x + ProjectX(-15, 23, g.width), 2.0);
    const int pressX = g.x + static_cast<int>(ProjectX(-5, 23, g.width));
    std::string drag = "xdotool mousemove " + std::to_string(pressX) + " " + std::to_string(row) +
                       " sleep 0.3 mousedown 1 sleep 0.3";
    for (int step = 1; step <= 4; ++step) drag += " mousemove " + std::to_string(pressX + 25 * step) + " " +
                                                  std::to_string(row) + " sleep 0.15";
    drag += " sleep 0.3 mouseup 1 sleep 0.5";
    ASSERT_EQ(RunInSession(session, drag), 0);
    ASSERT_TRUE(TakeScreenshot(session, &shot));
    const int after = SlideLeftEnd(shot, row);
    const double predicted = ProjectX(-15 + 100 * (23.0 - 2.0) * 0.0002, 23, g.width) - ProjectX(-15, 23, g.width);
    std::printf("wine: slide left end %d -> %d, moved %d px, predicted %.2f px\n", before, after, after - before,
                predicted);
    EXPECT_NEAR(after - before, predicted, 1.0);

    EndWithEscape(window);
}

// Started in another folder (a command prompt elsewhere), the program shows
// the default rules from its own folder. A copy with no data beside it,
// started where there is no list either, shows the "Error" box naming both
// places and ends with status 1.
TEST_F(Wine, FromAnotherFolderItShowsItsOwnRulesAndWithoutAnyListTheErrorBox) {
    const fs::path empty = root / "empty";
    fs::create_directories(empty);
    const unsigned long window = Launch(empty, (Unpacked() / "vernaskel.exe").string());
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    ExpectDefaultRules(window);
    EndWithEscape(window);

    const fs::path lonely = root / "lonely";
    fs::create_directories(lonely);
    fs::copy_file(Unpacked() / "vernaskel.exe", lonely / "vernaskel.exe", fs::copy_options::overwrite_existing);
    ASSERT_NE(Launch(empty, (lonely / "vernaskel.exe").string()), 0u) << ReadFile(program.stderrPath);
    const unsigned long box = FindMessageBox(session, "Error", START_SECONDS);
    ASSERT_NE(box, 0u) << ReadFile(program.stderrPath);
    RunInSession(session, "xdotool key --window " + std::to_string(box) + " Return");
    EXPECT_EQ(WaitForExit(&program, EXIT_SECONDS), 1);
    const std::string message = ReadFile(program.stderrPath);
    EXPECT_NE(message.find("Error: Cannot open the texture list data/ts"), std::string::npos) << message;
    EXPECT_NE(message.find("lonely/data/ts"), std::string::npos) << message;
}

TEST_F(Wine, InstallerPutsTheProgramInProgramFilesAndItsShortcutStartsIt) {
    std::string output;
    ASSERT_EQ(RunWine(root, {VERNASKEL_WINDOWS_SETUP, "/S"}, 60, &output), 0) << output;
    const fs::path installed = DriveC() / "Program Files" / "Vernaskel";
    for (const char* file : {"vernaskel.exe", "vernaskel-rulegen.exe", "data/ts", "models/duplex.rules", "LICENSE.txt",
                             "README.txt", "uninstall.exe"}) {
        EXPECT_TRUE(fs::exists(installed / file)) << file;
    }
    const std::string uninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vernaskel";
    EXPECT_EQ(RunInSession(session, "wine reg query " + Quote(uninstallKey) + " /v UninstallString > /dev/null"), 0);

    // The shortcut starts the program in the install folder, where it finds
    // its data.
    const std::string shortcut = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vernaskel.lnk";
    program = StartProgramIn(session.display, "wine", root.string(), {"start", "/wait", shortcut});
    const unsigned long window = FindWindowByTitle(session, " Vernaskel", START_SECONDS);
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    ExpectDefaultRules(window);
    EndWithEscape(window);

    // Uninstalling takes what was installed and its registration. The
    // uninstaller goes on in a copy of itself: wait for the prefix to be idle.
    RunWine(root, {(installed / "uninstall.exe").string(), "/S"}, 60);
    ASSERT_EQ(RunInSession(session, "wineserver -w"), 0);
    EXPECT_FALSE(fs::exists(installed / "vernaskel.exe"));
    EXPECT_FALSE(fs::exists(installed / "data"));
    EXPECT_NE(RunInSession(session, "wine reg query " + Quote(uninstallKey) + " > /dev/null 2>&1"), 0);
}

}  // namespace
