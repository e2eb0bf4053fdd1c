// The installed program: `cmake --install` into a temporary prefix, the files
// a desktop looks for, and the installed program on a real screen started
// from folders other than its own.
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

namespace fs = std::filesystem;

constexpr int SCREEN_WIDTH = 800;
constexpr int SCREEN_HEIGHT = 600;

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string folder = MakeDataDirectory({});
        prefix = folder + "/prefix";
        installLog = folder + "/install.log";
        const std::string command = std::string(VERNASKEL_CMAKE) + " --install " + VERNASKEL_BUILD_DIR +
                                    " --prefix " + prefix + " > " + installLog + " 2>&1";
        installed = !folder.empty() && std::system(command.c_str()) == 0;
        started = StartXvfb(SCREEN_WIDTH, SCREEN_HEIGHT, &session);
    }
    static void TearDownTestSuite() { StopXvfb(&session); }
    void SetUp() override {
        ASSERT_TRUE(installed) << ReadFile(installLog);
        ASSERT_TRUE(started) << "Xvfb did not start";
        workDir = MakeDataDirectory({});
        ASSERT_FALSE(workDir.empty());
    }
    void TearDown() override {
        if (program.pid > 0) WaitForExit(&program, 0);
    }

    // Starts the installed program (or another copy) in the work folder.
    unsigned long Launch(const std::string& binary) {
        program = StartProgramIn(session.display, binary, workDir);
        return FindWindowByTitle(session, " Vernaskel", 20);
    }
    void EndWithEscape(unsigned long window) {
        RunInSession(session, "xdotool windowfocus --sync " + std::to_string(window) + " key Escape");
        EXPECT_EQ(WaitForExit(&program, 10), 0) << ReadFile(program.stderrPath);
    }

    static inline std::string prefix;
    static inline std::string installLog;
    static inline bool installed = false;
    static inline XvfbSession session;
    static inline bool started = false;
    std::string workDir;
    RunningProgram program;
};

TEST_F(Installed, PutsEveryFileWhereADesktopLooksAndTheyValidate) {
    static const char* const FILES[] = {
        "bin/vernaskel", "bin/vernaskel-rulegen", "share/vernaskel/data/ts", "share/vernaskel/data/scales",
        "share/vernaskel/data/rule0.tga",
        "share/vernaskel/data/rule1.jpg", "share/vernaskel/models/duplex.rules", "share/applications/vernaskel.desktop",
        "share/icons/hicolor/48x48/apps/vernaskel.png", "share/icons/hicolor/128x128/apps/vernaskel.png",
        "share/icons/hicolor/256x256/apps/vernaskel.png", "share/metainfo/org.vernaskel.Vernaskel.metainfo.xml",
        "share/man/man1/vernaskel.1.gz", "share/man/man1/vernaskel-rulegen.1.gz", "share/doc/vernaskel/README.md",
        "share/doc/vernaskel/LICENSE"};
    for (const char* file : FILES) EXPECT_TRUE(fs::is_regular_file(fs::path(prefix) / file)) << file;

    const std::string quiet = " > /dev/null";
    EXPECT_EQ(std::system(("desktop-file-validate " + prefix + "/share/applications/vernaskel.desktop" + quiet).c_str()),
              0);
    EXPECT_EQ(std::system(("appstreamcli validate --no-net " + prefix +
                           "/share/metainfo/org.vernaskel.Vernaskel.metainfo.xml" + quiet).c_str()),
              0);
    std::string version;
    EXPECT_EQ(RunInSession(session, prefix + "/bin/vernaskel --version", &version), 0);
    EXPECT_EQ(version, std::string("vernaskel ") + VERNASKEL_VERSION + "\n");
    // The installed generator finds the models installed beside its data.
    std::string models;
    EXPECT_EQ(RunInSession(session, prefix + "/bin/vernaskel-rulegen --list-models", &models), 0);
    EXPECT_NE(models.find("duplex"), std::string::npos) << models;
}

// From an empty folder the installed default rules show; a folder with a
// texture list of its own shows that list's textures instead.
TEST_F(Installed, ShowsItsDefaultRulesFromAnyFolderAndAFoldersOwnRulesThere) {
    unsigned long window = Launch(prefix + "/bin/vernaskel");
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    DefaultRuleCount count;
    ASSERT_TRUE(WaitForDefaultRules(session, 10, &count));
    EXPECT_TRUE(count.Shown()) << count.marks << " marks, " << count.body << " body pixels of " << count.span;
    EndWithEscape(window);

    ASSERT_TRUE(WriteDataFiles(workDir, WhiteTextureData()));
    window = Launch(prefix + "/bin/vernaskel");
    ASSERT_NE(window, 0u) << ReadFile(program.stderrPath);
    const int x = static_cast<int>(ProjectX(-8, 23, SCREEN_WIDTH));
    const int y = static_cast<int>(ProjectY(8, 23, SCREEN_HEIGHT));
    Screenshot shot;
    for (int attempt = 0; attempt < 50; ++attempt) {
        ASSERT_TRUE(TakeScreenshot(session, &shot));
        if (shot.At(x, y)[0] == 255) break;
        usleep(100000);
    }
    const unsigned char* strip = shot.At(x, y);
    EXPECT_EQ(strip[0] + strip[1] + strip[2], 3 * 255) << "the folder's white textures are not shown";
    EXPECT_FALSE(CountDefaultRulePixels(shot).Shown());
    EndWithEscape(window);
}

// A copy of the program with no installed data beside it, in a folder with
// no list: the message names both places looked in.
TEST_F(Installed, WithoutAnyListItNamesBothPlacesAndEndsWithStatusOne) {
    const std::string lonely = MakeDataDirectory({});
    ASSERT_FALSE(lonely.empty());
    fs::create_directory(lonely + "/bin");
    fs::copy_file(prefix + "/bin/vernaskel", lonely + "/bin/vernaskel");
    ASSERT_NE(Launch(lonely + "/bin/vernaskel"), 0u) << ReadFile(program.stderrPath);
    const unsigned long box = FindMessageBox(session, "Error", 20);
    ASSERT_NE(box, 0u) << ReadFile(program.stderrPath);
    RunInSession(session, "xdotool key --window " + std::to_string(box) + " Return");
    EXPECT_EQ(WaitForExit(&program, 10), 1);
    const std::string message = ReadFile(program.stderrPath);
    EXPECT_NE(message.find("Cannot open the texture list data/ts: No such file or directory."), std::string::npos)
        << message;
    EXPECT_NE(message.find(lonely + "/share/vernaskel/data/ts"), std::string::npos) << message;
}

}  // namespace
