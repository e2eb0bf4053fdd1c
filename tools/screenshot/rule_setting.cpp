#include "tools/screenshot/rule_setting.h"

#include <cmath>
#include <cstdlib>

#include "app/app_window.h"
#include "interaction/dragging.h"
#include "interaction/picking.h"
#include "platform/headless/headless.h"
#include "render/view.h"
#include "scene/panels.h"

namespace {

// The digit keys a drag uses, coarse to fine. Each finer one covers what
// the one before leaves (at most half its step) in a few pixels.
constexpr int DRAG_DIGITS[] = {9, 6, 3, 0};
// The mouse moves at most this far between two passes.
constexpr int PIXELS_PER_PASS = 10;
constexpr int MAX_DRAG_PASSES = 400;

struct ClientPixel {
    int x, y;
};

// A point on the panel and on the screen where picking finds that panel
// (and not one before it in the table, such as the cursor window over a
// slide); false if none of the tried points is.
bool GrabPoint(int panel, ClientPixel* point) {
    ScreenCorner corners[4];
    if (!ProjectPanelCorners(panelTable.panels[panel], corners)) return false;
    for (double across : {0.5, 0.25, 0.75, 0.1, 0.9}) {
        const double x = corners[0].sx + across * (corners[3].sx - corners[0].sx);
        const double y = (corners[0].sy + corners[1].sy) / 2.0;
        const ClientPixel p{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
        const bool onScreen = p.x >= 0 && p.x < viewState.clientWidth && p.y >= 0 && p.y < viewState.clientHeight;
        if (onScreen && FindPanelAt(static_cast<float>(p.x), static_cast<float>(p.y)) == panel) {
            *point = p;
            return true;
        }
    }
    return false;
}

bool Pass(DragReport* report) {
    ++report->passes;
    return RunMainLoopPass();
}

// Scene units per pixel of mouse motion with a digit key held.
double UnitsPerPixel(int panel, int digit) {
    // The drag scales the motion by corner 2's depth for a slide and corner
    // 0's for a cursor window; the corners of a strip share one depth.
    return (panelTable.panels[panel].corner[0][2] - DRAG_DEPTH_OFFSET) * DIGIT_SENSITIVITY[digit];
}

}  // namespace

bool PassWithCursorAt(int x, int y) {
    HeadlessSetCursor(HeadlessClientOriginX() + x, HeadlessClientOriginY() + y);
    return RunMainLoopPass();
}

bool DragPanelTo(int panel, double targetX, DragReport* report, std::string* error) {
    *report = DragReport{0, 0, 0.0};
    ClientPixel at{};
    if (!GrabPoint(panel, &at)) {
        *error = "no point of panel " + std::to_string(panel) + " can be picked";
        return false;
    }
    PassWithCursorAt(at.x, at.y);
    HeadlessKey(VK_0 + DRAG_DIGITS[0], true);
    HeadlessMouseButton(HeadlessButton::Left, true);
    bool running = Pass(report);
    const bool held = grabActive == 1 && grabbedPanel == panel;
    if (!held) {
        *error = "pressing at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + ") took hold of panel " +
                 (grabActive == 1 ? std::to_string(grabbedPanel) : std::string("none")) + ", not panel " +
                 std::to_string(panel);
    }
    int heldDigit = DRAG_DIGITS[0];
    bool stuck = false;
    for (int digit : DRAG_DIGITS) {
        if (!running || !held || stuck) break;
        const double before = panelTable.panels[panel].corner[0][0];
        const long pixels = std::lround((targetX - before) / UnitsPerPixel(panel, digit));
        if (pixels == 0) continue;
        // A digit key pressed counts until the program next asks for it, even
        // when it is let go at once: each one pressed is held for a move.
        if (digit != heldDigit) {
            HeadlessKey(VK_0 + heldDigit, false);
            HeadlessKey(VK_0 + digit, true);
            heldDigit = digit;
        }
        for (long moved = 0; moved != pixels && running && report->passes < MAX_DRAG_PASSES;) {
            const long step = std::labs(pixels - moved) < PIXELS_PER_PASS ? pixels - moved
                              : pixels > 0                                  ? PIXELS_PER_PASS
                                                                            : -PIXELS_PER_PASS;
            moved += step;
            at.x += static_cast<int>(step);
            report->pixels += static_cast<int>(std::labs(step));
            HeadlessSetCursor(HeadlessClientOriginX() + at.x, HeadlessClientOriginY() + at.y);
            running = Pass(report);
        }
        // Short of the asked motion by more than half a step: held at an end.
        const double moved = panelTable.panels[panel].corner[0][0] - before;
        stuck = std::fabs(moved - pixels * UnitsPerPixel(panel, digit)) > 0.5 * UnitsPerPixel(panel, digit);
    }
    HeadlessMouseButton(HeadlessButton::Left, false);
    HeadlessKey(VK_0 + heldDigit, false);
    if (running) running = Pass(report);
    report->leftOver = targetX - panelTable.panels[panel].corner[0][0];
    if (!held) return false;
    if (!running) {
        *error = "the main loop ended during the drag";
        return false;
    }
    if (stuck || std::fabs(report->leftOver) > UnitsPerPixel(panel, DRAG_DIGITS[3])) {
        *error = "panel " + std::to_string(panel) + " stopped " + std::to_string(report->leftOver) +
                 " units short of its target (at the end of the rule?)";
        return false;
    }
    return true;
}

bool SetSlideOver(const ScaleOnRule& slideScale, double slideValue, const ScaleOnRule& bodyScale, double bodyValue,
                  DragReport* report, std::string* error) {
    MarkOnScreen onSlide{};
    MarkOnScreen onBody{};
    if (!LocateMark(slideScale, slideValue, &onSlide, error) || !LocateMark(bodyScale, bodyValue, &onBody, error)) {
        return false;
    }
    // Where the slide's mark must lie so that it shows in the body mark's
    // screen column.
    const double wanted = SceneXAtClientX(onBody.clientX, onSlide.depth);
    const int slide = slideScale.panel;
    return DragPanelTo(slide, panelTable.panels[slide].corner[0][0] + (wanted - onSlide.sceneX), report, error);
}

bool SetHairlineOn(const ScaleOnRule& scale, double value, DragReport* report, std::string* error) {
    MarkOnScreen mark{};
    if (!LocateMark(scale, value, &mark, error)) return false;
    const int cursor = CursorPanelOf(scale.rule);
    const auto& c = panelTable.panels[cursor].corner;
    // The hairline runs halfway between the bottom corners, at corner 0's
    // depth, a little in front of the strips.
    const double hairlineX = SceneXAtClientX(mark.clientX, c[0][2]);
    const double halfWidth = (static_cast<double>(c[3][0]) - c[0][0]) / 2.0;
    return DragPanelTo(cursor, hairlineX - halfWidth, report, error);
}
