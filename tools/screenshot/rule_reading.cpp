#include "tools/screenshot/rule_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "render/view.h"
#include "scene/panels.h"

namespace {

constexpr double NOT_FOUND = std::numeric_limits<double>::quiet_NaN();

// The strip panels of a rule, top to bottom, in the table as it starts.
bool RulePanels(int rule, int panels[STRIP_COUNT]) {
    return StripPanelsOfTexture(BuildInitialPanelTable(), rule, panels);
}

const Panel& HomePanel(int panel) {
    static const PanelTable home = BuildInitialPanelTable();
    return home.panels[panel];
}

const uint8_t* PixelOf(const ScreenPicture& picture, int x, int y) {
    return &(*picture.rgba)[(static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)) * 4];
}

int ClampRow(const ScreenPicture& picture, double y) {
    return std::clamp(static_cast<int>(std::floor(y)), 0, picture.height - 1);
}

}  // namespace

bool FindScaleOnRule(const RuleDescription& description, int rule, const std::string& name, ScaleOnRule* found,
                     std::string* error) {
    int panels[STRIP_COUNT];
    if (rule < 0 || rule >= RULE_COUNT || !RulePanels(rule, panels)) {
        *error = "there is no rule " + std::to_string(rule);
        return false;
    }
    const RuleLayout& layout = description.rules[rule];
    for (int strip = 0; strip < STRIP_COUNT; ++strip) {
        const Panel& home = HomePanel(panels[strip]);
        const double bottom = home.corner[0][1];
        const double top = home.corner[1][1];
        for (const ScaleBand& band : LayOutStrip(bottom, top, layout.strips[strip])) {
            if (name == band.scale->name) {
                *found = ScaleOnRule{rule, panels[strip], band};
                return true;
            }
        }
    }
    *error = "rule " + std::to_string(rule) + " has no scale " + name;
    return false;
}

double HomeSceneX(const ScaleDefinition& scale, double value) { return SceneXOfPosition(scale.position(value)); }

double ClientXOf(double x, double z) {
    const double ndc = x * viewState.nearPlane / (static_cast<double>(viewState.frustumHalfWidth) * z);
    return (ndc + 1.0) * 0.5 * viewState.clientWidth;
}

double ClientYOf(double y, double z) {
    const double ndc = y * viewState.nearPlane / (static_cast<double>(viewState.frustumHalfHeight) * z);
    return (1.0 - ndc) * 0.5 * viewState.clientHeight;
}

double SceneXAtClientX(double clientX, double z) {
    const double ndc = clientX / (0.5 * viewState.clientWidth) - 1.0;
    return ndc * static_cast<double>(viewState.frustumHalfWidth) * z / viewState.nearPlane;
}

bool LocateMark(const ScaleOnRule& scale, double value, MarkOnScreen* mark, std::string* error) {
    // The marks are found by value; the generator computes them the same way.
    const ScaleDefinition& definition = *scale.band.scale;
    for (const ScaleMark& candidate : MakeScaleMarks(definition, INDEX_LENGTH, MIN_MARK_SPACING)) {
        if (std::fabs(candidate.value - value) > 1e-9 * std::max(1.0, std::fabs(value))) continue;
        const Panel& home = HomePanel(scale.panel);
        const Panel& now = panelTable.panels[scale.panel];
        MarkOnScreen m{};
        m.value = value;
        m.lengthClass = candidate.lengthClass;
        m.sceneX = SceneXOfPosition(candidate.position) + (now.corner[0][0] - home.corner[0][0]);
        m.sceneY = ProbeY(scale.band, candidate) + (now.corner[0][1] - home.corner[0][1]);
        m.depth = now.corner[0][2];
        m.clientX = ClientXOf(m.sceneX, m.depth);
        m.clientY = ClientYOf(m.sceneY, m.depth);
        *mark = m;
        return true;
    }
    char text[64];
    std::snprintf(text, sizeof text, "scale %s has no mark at %g", definition.name, value);
    *error = text;
    return false;
}

double ProbeY(const ScaleBand& band, const ScaleMark& mark) {
    return band.baseY + band.direction * 0.6 * MarkLength(band, mark.lengthClass);
}

double Darkness(const uint8_t* rgb) {
    const double body = 0.299 * BODY_COLOUR.r + 0.587 * BODY_COLOUR.g + 0.114 * BODY_COLOUR.b;
    return std::max(0.0, body - (0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]));
}

double MarkCentreInRow(const uint8_t* row, int width, int stride, double expected) {
    const int near = static_cast<int>(std::floor(expected));
    int peak = -1;
    double darkest = 0.0;
    for (int x = near - 2; x <= near + 2; ++x) {
        if (x < 0 || x >= width) continue;
        const double d = Darkness(row + static_cast<size_t>(x) * stride);
        if (d > darkest) {
            darkest = d;
            peak = x;
        }
    }
    if (peak < 0 || darkest < 20.0) return NOT_FOUND;
    double weighted = 0.0;
    double total = 0.0;
    for (int x = std::max(peak - 1, 0); x <= std::min(peak + 1, width - 1); ++x) {
        const double d = Darkness(row + static_cast<size_t>(x) * stride);
        weighted += (x + 0.5) * d;
        total += d;
    }
    return weighted / total;
}

double FindMarkColumn(const ScreenPicture& picture, const MarkOnScreen& mark) {
    if (!(mark.clientY >= 0.0 && mark.clientY < picture.height)) return NOT_FOUND;
    const int row = ClampRow(picture, mark.clientY);
    return MarkCentreInRow(PixelOf(picture, 0, row), picture.width, 4, mark.clientX);
}

void RuleRows(const ScreenPicture& picture, int rule, int* topRow, int* bottomRow) {
    int panels[STRIP_COUNT];
    if (!RulePanels(rule, panels)) {
        *topRow = 0;
        *bottomRow = -1;
        return;
    }
    const auto& upper = panelTable.panels[panels[STRIP_UPPER_BODY]].corner;
    const auto& lower = panelTable.panels[panels[STRIP_LOWER_BODY]].corner;
    *topRow = ClampRow(picture, ClientYOf(upper[1][1], upper[1][2]));
    *bottomRow = ClampRow(picture, ClientYOf(lower[0][1], lower[0][2]));
}

double FindHairlineColumn(const ScreenPicture& picture, double expected, int topRow, int bottomRow) {
    // The hairline is a one-pixel line in dark grey across the whole rule;
    // marks and numerals are dark in a few of its rows only.
    constexpr double DARK = 100.0;
    constexpr int REACH = 6;
    const int near = static_cast<int>(std::floor(expected));
    int best = -1;
    int bestCount = 0;
    for (int x = std::max(near - REACH, 0); x <= std::min(near + REACH, picture.width - 1); ++x) {
        int count = 0;
        for (int y = topRow; y <= bottomRow; ++y) {
            if (Darkness(PixelOf(picture, x, y)) > DARK) ++count;
        }
        if (count > bestCount) {
            bestCount = count;
            best = x;
        }
    }
    const int rows = bottomRow - topRow + 1;
    if (best < 0 || rows <= 0 || 10 * bestCount < 9 * rows) return NOT_FOUND;
    return best + 0.5;
}

int CursorPanelOf(int rule) {
    int panels[STRIP_COUNT];
    if (RulePanels(rule, panels) && panels[STRIP_UPPER_BODY] == PANEL_UPPER_BODY_B) return PANEL_CURSOR_B;
    return PANEL_CURSOR_A;
}
