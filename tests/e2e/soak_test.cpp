// Long use: many passes of the real main loop under a seeded random script
// of everything a user does (drags with every sensitivity key, pans, zooms,
// the magnifier, resizes down to a minimised window, idle spells and pauses
// of the whole loop), with the scene's invariants checked as it goes.
//
// VERNASKEL_SOAK_PASSES sets the length (50,000 by default; scripts/soak.sh
// runs a million) and VERNASKEL_SOAK_SEED the script.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "app/app_window.h"
#include "interaction/pick_and_drag.h"
#include "render/view.h"
#include "scene/panels.h"
#include "tests/support/program.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr uint64_t CHECK_EVERY = 2000;
// The largest cursor step a pan takes in one pass, in pixels, and what it
// moves the rule: the limits are tested before a move, so one step may pass them.
constexpr int MAX_PAN_PIXELS = 30;
constexpr double PAN_STEP = MAX_PAN_PIXELS * 0.18;
// The longest time one pass accounts for moves a held zoom this far.
constexpr double ZOOM_STEP = 6.0 * 0.25;
constexpr double SLACK = 1e-2;  // rounding of many small moves

struct SoakRun {
    std::mt19937 random;
    uint64_t passes = 0;
    uint64_t target = 0;
    PanelTable initial;
    long warmResidentKb = 0;
};
SoakRun run;

bool Failed() { return ::testing::Test::HasFatalFailure(); }

int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(run.random); }

long ResidentKb() {
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) return 0;
    long pages = 0;
    long resident = 0;
    const int read = std::fscanf(file, "%ld %ld", &pages, &resident);
    std::fclose(file);
    return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

bool Finite(const Panel& panel) {
    const float* slot = reinterpret_cast<const float*>(&panel);
    for (size_t k = 0; k < sizeof(Panel) / sizeof(float); ++k) {
        if (!std::isfinite(slot[k])) return false;
    }
    return true;
}

// Everything of a panel but its corners is as the initial table has it.
bool AllButCornersKept(const Panel& now, const Panel& initial) {
    const auto* a = reinterpret_cast<const unsigned char*>(&now) + sizeof now.corner;
    const auto* b = reinterpret_cast<const unsigned char*>(&initial) + sizeof initial.corner;
    return std::memcmp(a, b, sizeof(Panel) - sizeof now.corner) == 0;
}

void CheckInvariants() {
    const uint64_t at = run.passes;
    for (int i = 0; i < PANEL_CAPACITY; ++i) {
        const Panel& panel = panelTable.panels[i];
        ASSERT_TRUE(Finite(panel)) << "panel " << i << " after pass " << at;
        ASSERT_TRUE(AllButCornersKept(panel, run.initial.panels[i])) << "panel " << i << " after pass " << at;
    }
    // Slides and cursor windows within the ends of the first upper body strip.
    const Panel& body = panelTable.panels[PANEL_UPPER_BODY_A];
    const double left = body.corner[0][0];
    const double right = body.corner[3][0];
    for (int slide : {PANEL_SLIDE_A, PANEL_SLIDE_B}) {
        ASSERT_GE(panelTable.panels[slide].corner[2][0], left - SLACK) << "slide " << slide << " pass " << at;
        ASSERT_LE(panelTable.panels[slide].corner[0][0], right + SLACK) << "slide " << slide << " pass " << at;
    }
    for (int cursor : {PANEL_CURSOR_A, PANEL_CURSOR_B}) {
        ASSERT_GE(panelTable.panels[cursor].corner[0][0], left - SLACK) << "cursor " << cursor << " pass " << at;
        ASSERT_LE(panelTable.panels[cursor].corner[3][0], right + 0.25 + SLACK) << "cursor " << cursor << " pass " << at;
    }
    // The reference corner within its zoom and pan limits, plus one step.
    const float* reference = body.corner[0];
    ASSERT_GT(reference[2], 6.0 - ZOOM_STEP - SLACK) << "pass " << at;
    ASSERT_LT(reference[2], 25.0 + ZOOM_STEP + SLACK) << "pass " << at;
    ASSERT_GT(reference[0], -25.0 - PAN_STEP - SLACK) << "pass " << at;
    ASSERT_LT(reference[0], -5.0 + PAN_STEP + SLACK) << "pass " << at;
    ASSERT_GT(reference[1], 0.0 - PAN_STEP - SLACK) << "pass " << at;
    ASSERT_LT(reference[1], 15.0 + PAN_STEP + SLACK) << "pass " << at;
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "pass " << at;
}

// One pass after a frame's worth of time, now and then after a long pause.
void Pass() {
    HeadlessAdvanceTicks(Uniform(0, 1999) == 0 ? static_cast<uint32_t>(Uniform(1000, 10000))
                                               : static_cast<uint32_t>(Uniform(0, 40)));
    ASSERT_TRUE(RunPass()) << "the loop ended at pass " << run.passes;
    ++run.passes;
    if (run.passes % CHECK_EVERY == 0) {
        CheckInvariants();
        if (run.warmResidentKb == 0 && run.passes >= run.target / 10) run.warmResidentKb = ResidentKb();
    }
}

void MoveCursorBy(int dx, int dy) {
    int32_t x = 0;
    int32_t y = 0;
    PlatformGetCursorPos(&x, &y);
    HeadlessSetCursor(x + dx, y + dy);
}

// A press somewhere on a panel (or wherever the picture puts nothing), a
// sensitivity key now and then, a run of sideways motion, the release;
// sometimes with a zoom key or the right button held as well.
void Drag() {
    const int target = Uniform(0, PANEL_CAPACITY - 1);
    ScreenCorner corners[4];
    if (ProjectPanelCorners(panelTable.panels[target], corners)) {
        const double across = Uniform(5, 95) / 100.0;
        const double up = Uniform(10, 90) / 100.0;
        const double x = corners[0].sx + across * (corners[3].sx - corners[0].sx);
        const double y = corners[0].sy + up * (corners[1].sy - corners[0].sy);
        if (std::fabs(x) < 1e5 && std::fabs(y) < 1e5) {
            HeadlessSetCursor(static_cast<int32_t>(x), static_cast<int32_t>(y));
        }
    }
    Pass();
    const int digit = Uniform(-1, 9);
    if (digit >= 0) HeadlessKey(VK_0 + digit, true);
    const int extra = Uniform(0, 7);
    if (extra == 0) HeadlessKey(VK_UP, true);
    if (extra == 1) HeadlessKey(VK_DOWN, true);
    if (extra == 2) HeadlessMouseButton(HeadlessButton::Right, true);
    HeadlessMouseButton(HeadlessButton::Left, true);
    for (int k = Uniform(1, 60); k > 0 && !Failed(); --k) {
        MoveCursorBy(Uniform(-MAX_PAN_PIXELS, MAX_PAN_PIXELS), Uniform(-5, 5));
        Pass();
    }
    HeadlessMouseButton(HeadlessButton::Left, false);
    if (extra == 2) HeadlessMouseButton(HeadlessButton::Right, false);
    if (extra == 0) HeadlessKey(VK_UP, false);
    if (extra == 1) HeadlessKey(VK_DOWN, false);
    if (digit >= 0) HeadlessKey(VK_0 + digit, false);
    Pass();
}

void Pan() {
    HeadlessMouseButton(HeadlessButton::Right, true);
    for (int k = Uniform(1, 80); k > 0 && !Failed(); --k) {
        MoveCursorBy(Uniform(-MAX_PAN_PIXELS, MAX_PAN_PIXELS), Uniform(-MAX_PAN_PIXELS, MAX_PAN_PIXELS));
        Pass();
    }
    HeadlessMouseButton(HeadlessButton::Right, false);
    Pass();
}

void Zoom() {
    static constexpr int KEYS[][2] = {{VK_UP, 0}, {VK_DOWN, 0}, {VK_ADD, 0}, {VK_SUBTRACT, 0}, {VK_UP, VK_DOWN}};
    const auto& keys = KEYS[Uniform(0, 4)];
    for (int key : keys) {
        if (key != 0) HeadlessKey(key, true);
    }
    for (int k = Uniform(1, 200); k > 0 && !Failed(); --k) Pass();
    for (int key : keys) {
        if (key != 0) HeadlessKey(key, false);
    }
    Pass();
}

void Magnify() {
    const int key = Uniform(0, 1) == 0 ? VK_LSHIFT : VK_RSHIFT;
    HeadlessKey(key, true);
    for (int k = Uniform(1, 50); k > 0 && !Failed(); --k) {
        MoveCursorBy(Uniform(-10, 10), Uniform(-10, 10));
        Pass();
    }
    HeadlessKey(key, false);
    Pass();
}

void Resize() {
    switch (Uniform(0, 2)) {
        case 0: HeadlessResizeClient(0, 0); break;  // minimised
        case 1: HeadlessResizeClient(WIDTH, HEIGHT); break;
        default: HeadlessResizeClient(Uniform(1, 400), Uniform(1, 300)); break;
    }
    Pass();
}

void Idle() {
    for (int k = Uniform(1, 300); k > 0 && !Failed(); --k) Pass();
}

uint64_t FromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Soak, TheSceneKeepsItsInvariantsThroughALongRandomSession) {
    const uint64_t seed = FromEnvironment("VERNASKEL_SOAK_SEED", 20261207);
    run.random.seed(static_cast<std::mt19937::result_type>(seed));
    run.target = FromEnvironment("VERNASKEL_SOAK_PASSES", 50000);
    ASSERT_TRUE(StartProgram(WIDTH, HEIGHT));
    run.initial = panelTable;
    // The tick count wraps past 2^32 early in the run.
    HeadlessSetTicks(0xFFFFFFFFu - 60000u);
    const auto started = std::chrono::steady_clock::now();
    const long startKb = ResidentKb();
    while (run.passes < run.target && !Failed()) {
        switch (Uniform(0, 5)) {
            case 0: Drag(); break;
            case 1: Pan(); break;
            case 2: Zoom(); break;
            case 3: Magnify(); break;
            case 4: Resize(); break;
            default: Idle(); break;
        }
    }
    if (Failed()) return;
    CheckInvariants();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long endKb = ResidentKb();
    std::printf("soak: seed %llu, %llu passes in %.1f s; resident %ld kB at start, %ld kB after warm-up, %ld kB at end\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(run.passes), seconds, startKb,
                run.warmResidentKb, endKb);
    // Flat after warm-up: allocator slack, not growth with the pass count.
    EXPECT_LT(endKb - run.warmResidentKb, 4096);
    ResetProgramState();
}

}  // namespace
