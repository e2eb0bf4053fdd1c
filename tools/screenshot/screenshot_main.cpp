// vernaskel_screenshot: the program's picture, drawn on the headless backend
// and written as a PNG; on request also the picture after a multiplication
// set up on the first rule with the mouse and the digit keys.
//
//     vernaskel_screenshot --in DIR [--size WIDTHxHEIGHT] [--passes N] --out FILE.png [--crop]
//                          [--rules FILE --set-out FILE.png [--multiply AxB]] [--readout]
//
// It runs the program in DIR (where data\ts is looked up), on a screen of the
// given size (default 1280x720), for N main-loop passes (default 3; the
// picture of a pass shows what the pass before it left), and writes the last
// presented picture to --out.
//
// With --set-out it then works the first rule as a user does, through the
// main loop: it drags the slide so that C's index lies over D's A, then the
// cursor window so that its hairline lies on C's B (default 2x3), and writes
// that picture. The scales' places come from the rule description (--rules,
// the one the data was drawn from). It finds the marks and the hairline in
// the pictures and fails when they are more than a pixel from agreeing.
//
// --crop cuts each picture down to the rules it is about: the start-up
// picture to both rules, the set-up picture to the first. --readout shows
// the values under the hairlines (R) from the first pass on.
//
// --type LINE types the line into the command line after the first pass
// (Enter, the line, Enter), so that the passes show it worked; --practice
// starts practice instead, works the first problem on the rule and has it
// checked (Enter). --tick MS is the clock's step a pass (default 16).
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "learning/demonstration.h"
#include "learning/lessons.h"
#include "platform/headless/headless.h"
#include "scene/panels.h"
#include "tools/png_file.h"
#include "tools/screenshot/rule_setting.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows top first
};

bool WritePng(const std::string& path, const Picture& picture) {
    return WritePngFile(path, picture.width, picture.height, 3, picture.rgb.data());
}

// The presented picture, cut to the columns and rows given (clipped to it).
Picture CutPicture(const ScreenPicture& screen, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, screen.width - 1);
    bottom = std::min(bottom, screen.height - 1);
    Picture picture;
    picture.width = std::max(right - left + 1, 0);
    picture.height = std::max(bottom - top + 1, 0);
    picture.rgb.reserve(static_cast<size_t>(picture.width) * picture.height * 3);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const uint8_t* p = &(*screen.rgba)[(static_cast<size_t>(y) * screen.width + x) * 4];
            picture.rgb.insert(picture.rgb.end(), p, p + 3);
        }
    }
    return picture;
}

// The whole picture, or with `crop` the rules from firstRule to lastRule and
// a small margin around them.
Picture Framed(const ScreenPicture& screen, bool crop, int firstRule, int lastRule) {
    if (!crop) return CutPicture(screen, 0, 0, screen.width - 1, screen.height - 1);
    constexpr int MARGIN = 6;
    int top = 0, bottom = 0, unused = 0;
    RuleRows(screen, firstRule, &top, &unused);
    RuleRows(screen, lastRule, &unused, &bottom);
    const auto& body = panelTable.panels[PANEL_UPPER_BODY_A].corner;
    const int left = static_cast<int>(std::floor(ClientXOf(body[0][0], body[0][2])));
    const int right = static_cast<int>(std::ceil(ClientXOf(body[3][0], body[3][2])));
    return CutPicture(screen, left - MARGIN, top - MARGIN, right + MARGIN, bottom + MARGIN);
}

bool Present(const ScreenPicture& screen, bool crop, int firstRule, int lastRule, const std::string& path) {
    if (screen.rgba->empty() || !WritePng(path, Framed(screen, crop, firstRule, lastRule))) {
        std::fprintf(stderr, "vernaskel_screenshot: no picture written to %s\n", path.c_str());
        return false;
    }
    return true;
}

// Runs passes until the presented picture shows the scene as it stands.
void Settle() {
    for (int pass = 0; pass < 2; ++pass) {
        HeadlessAdvanceTicks(16);
        RunMainLoopPass();
    }
}

// Two screen columns that must agree, as measured.
bool Agree(const char* what, double a, double b) {
    const double difference = std::fabs(a - b);
    const bool ok = difference <= 1.0;  // NaN (not found) fails too
    std::printf("  %-34s %8.2f %8.2f   %5.2f px%s\n", what, a, b, difference, ok ? "" : "   FAILED");
    return ok;
}

// Sets up a x b on the first rule and checks the pictures; the set-up
// picture is left in *screen.
bool SetUpMultiplication(const RuleDescription& description, double a, double b, ScreenPicture* screen,
                         std::string* error) {
    ScaleOnRule c{};
    ScaleOnRule d{};
    if (!FindScaleOnRule(description, 0, "C", &c, error) || !FindScaleOnRule(description, 0, "D", &d, error)) {
        return false;
    }
    // A product past 10 comes out under C's right index, a tenth of it on D.
    const double index = a * b < 10.0 ? 1.0 : 10.0;
    const double product = a * b / index;
    DragReport slide{};
    if (!SetSlideOver(c, index, d, a, &slide, error)) return false;
    Settle();
    const std::vector<uint8_t> slidePicture = HeadlessLastPresented();
    const ScreenPicture afterSlide{&slidePicture, screen->width, screen->height};
    MarkOnScreen cIndex{}, dA{}, cB{}, dProduct{};
    if (!LocateMark(c, index, &cIndex, error) || !LocateMark(d, a, &dA, error) || !LocateMark(c, b, &cB, error) ||
        !LocateMark(d, product, &dProduct, error)) {
        return false;
    }
    const double cBColumn = FindMarkColumn(afterSlide, cB);

    DragReport cursor{};
    if (!SetHairlineOn(c, b, &cursor, error)) return false;
    Settle();
    int top = 0, bottom = 0;
    RuleRows(*screen, 0, &top, &bottom);
    const double hairline = FindHairlineColumn(*screen, cB.clientX, top, bottom);

    std::printf("%g x %g = %g: slide dragged %d px in %d passes (%.5f units off), cursor %d px in %d passes "
                "(%.5f units off)\n",
                a, b, a * b, slide.pixels, slide.passes, slide.leftOver, cursor.pixels, cursor.passes,
                cursor.leftOver);
    std::printf("  %-34s %8s %8s   %s\n", "screen columns found", "first", "second", "apart");
    bool ok =
        Agree("C's index over D's first factor", FindMarkColumn(afterSlide, cIndex), FindMarkColumn(afterSlide, dA));
    ok = Agree("C's second factor over D's product", cBColumn, FindMarkColumn(afterSlide, dProduct)) && ok;
    ok = Agree("hairline on C's second factor", hairline, cBColumn) && ok;
    ok = Agree("C's second factor where computed", cBColumn, cB.clientX) && ok;
    if (!ok) *error = "the rule does not show the product where it should";
    return ok;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vernaskel_screenshot --in DIR [--size WIDTHxHEIGHT] [--passes N] --out FILE.png [--crop]\n"
                 "                            [--rules FILE --set-out FILE.png [--multiply AxB]] [--readout]\n"
                 "                            [--type LINE | --practice] [--tick MS]\n");
    return 2;
}

// A path as given, or made absolute against the starting folder (the
// program's folder becomes current before the pictures are written).
std::string Absolute(const char* path) {
    char here[4096];
    if (path[0] != '/' && getcwd(here, sizeof here) != nullptr) return std::string(here) + "/" + path;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const char* folder = nullptr;
    const char* out = nullptr;
    const char* setOut = nullptr;
    const char* rules = nullptr;
    int width = 1280;
    int height = 720;
    int passes = 3;
    double a = 2.0;
    double b = 3.0;
    bool crop = false;
    bool readout = false;
    const char* typed = nullptr;
    bool practise = false;
    int tick = 16;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--in") == 0 && k + 1 < argc) {
            folder = argv[++k];
        } else if (std::strcmp(argv[k], "--out") == 0 && k + 1 < argc) {
            out = argv[++k];
        } else if (std::strcmp(argv[k], "--set-out") == 0 && k + 1 < argc) {
            setOut = argv[++k];
        } else if (std::strcmp(argv[k], "--rules") == 0 && k + 1 < argc) {
            rules = argv[++k];
        } else if (std::strcmp(argv[k], "--crop") == 0) {
            crop = true;
        } else if (std::strcmp(argv[k], "--readout") == 0) {
            readout = true;
        } else if (std::strcmp(argv[k], "--type") == 0 && k + 1 < argc) {
            typed = argv[++k];
        } else if (std::strcmp(argv[k], "--practice") == 0) {
            practise = true;
        } else if (std::strcmp(argv[k], "--tick") == 0 && k + 1 < argc) {
            tick = std::atoi(argv[++k]);
            if (tick < 1 || tick > 1000) return Usage();
        } else if (std::strcmp(argv[k], "--size") == 0 && k + 1 < argc) {
            if (std::sscanf(argv[++k], "%dx%d", &width, &height) != 2 || width < 16 || height < 16 ||
                width > 8192 || height > 8192) {
                return Usage();
            }
        } else if (std::strcmp(argv[k], "--multiply") == 0 && k + 1 < argc) {
            if (std::sscanf(argv[++k], "%lfx%lf", &a, &b) != 2 || !(a >= 1.0 && a < 10.0) || !(b >= 1.0 && b < 10.0)) {
                std::fprintf(stderr, "vernaskel_screenshot: --multiply takes two factors from 1 to 10, as 2x3\n");
                return 2;
            }
        } else if (std::strcmp(argv[k], "--passes") == 0 && k + 1 < argc) {
            passes = std::atoi(argv[++k]);
            if (passes < 1 || passes > 1000) return Usage();
        } else {
            return Usage();
        }
    }
    if (folder == nullptr || out == nullptr || (setOut != nullptr && rules == nullptr)) return Usage();
    RuleDescription description{};
    std::string error;
    if (rules != nullptr && !ReadRuleDescriptionFile(rules, &description, &error)) {
        std::fprintf(stderr, "vernaskel_screenshot: %s\n", error.c_str());
        return 1;
    }
    const std::string outPath = Absolute(out);
    const std::string setOutPath = setOut == nullptr ? std::string() : Absolute(setOut);
    if (chdir(folder) != 0) {
        std::fprintf(stderr, "vernaskel_screenshot: cannot enter %s\n", folder);
        return 1;
    }
    HeadlessReset();
    HeadlessSetScreenSize(width, height);
    HeadlessCapturePresented(true);
    if (!CreateMainWindow()) return 1;
    bool running = true;
    for (int pass = 0; pass < passes && running; ++pass) {
        HeadlessAdvanceTicks(static_cast<uint32_t>(tick));
        running = RunMainLoopPass();
        if (readout && pass == 0) {
            HeadlessKey(VK_A + ('R' - 'A'), true);
            HeadlessKey(VK_A + ('R' - 'A'), false);
        }
        if (typed != nullptr && pass == 0) {
            HeadlessKey(VK_RETURN, true);
            HeadlessKey(VK_RETURN, false);
            HeadlessType(typed);
            HeadlessKey(VK_RETURN, true);
            HeadlessKey(VK_RETURN, false);
        }
        if (practise && pass == 0) {
            // The learner's part: the problem set on the rule as its
            // solution sets it, then Enter to have it checked.
            HeadlessKey(VK_A + ('P' - 'A'), true);
            HeadlessKey(VK_A + ('P' - 'A'), false);
            running = RunMainLoopPass();
            StartDemonstration(practice.problem.plan, practice.problem.text, PlatformGetTickCount());
            while (demonstration.running) StepOnDemonstration(PlatformGetTickCount());
            HeadlessKey(VK_RETURN, true);
            HeadlessKey(VK_RETURN, false);
        }
    }
    ScreenPicture screen{&HeadlessLastPresented(), width, height};
    if (!Present(screen, crop, 0, RULE_COUNT - 1, outPath)) return 1;
    if (setOut == nullptr) return 0;
    if (!running || !SetUpMultiplication(description, a, b, &screen, &error)) {
        std::fprintf(stderr, "vernaskel_screenshot: %s\n", running ? error.c_str() : "the program ended");
        return 1;
    }
    return Present(screen, crop, 0, 0, setOutPath) ? 0 : 1;
}
