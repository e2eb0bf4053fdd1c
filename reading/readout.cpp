#include "reading/readout.h"

#include <cmath>
#include <cstdio>

#include "reading/scale_map.h"
#include "scene/panels.h"

namespace {

struct RulePanels {
    int cursor;
    int upperBody;
    int slide;
};
constexpr RulePanels RULE_PANELS[READOUT_RULES] = {
    {PANEL_CURSOR_A, PANEL_UPPER_BODY_A, PANEL_SLIDE_A},
    {PANEL_CURSOR_B, PANEL_UPPER_BODY_B, PANEL_SLIDE_B},
};

// Where the strips' left ends lie as the rules start, the frame the scales
// are placed in (INDEX_LEFT_X, INDEX_LENGTH).
constexpr double START_LEFT_X = -15.0;

void Read(const ScaleDefinition* scale, double position, std::vector<ScaleReading>* readings) {
    ScaleReading reading{scale, false, 0.0};
    reading.onScale = ValueAtPosition(*scale, position, &reading.value);
    readings->push_back(reading);
}

}  // namespace

RulePosition ReadRulePosition(int rule) {
    RulePosition position;
    if (rule < 0 || rule >= READOUT_RULES) return position;
    const RulePanels& p = RULE_PANELS[rule];
    const Panel& cursor = panelTable.panels[p.cursor];
    const Panel& body = panelTable.panels[p.upperBody];
    const Panel& slide = panelTable.panels[p.slide];

    // The hairline as the renderer draws it: midway along the window's
    // bottom edge, at corner 0's depth; seen from the eye on the strips'
    // depth.
    const double hairX = (static_cast<double>(cursor.corner[0][0]) + cursor.corner[3][0]) / 2.0;
    const double seenX = hairX * body.corner[0][2] / cursor.corner[0][2];
    // In the frame the scales are placed in: the body as it started.
    const double onBody = seenX - body.corner[0][0] + START_LEFT_X;
    const double slideShift = static_cast<double>(slide.corner[0][0]) - body.corner[0][0];
    position.hairline = (onBody - INDEX_LEFT_X) / INDEX_LENGTH;
    position.slide = slideShift / INDEX_LENGTH;
    return position;
}

double HairlineShiftFor(int rule, double hairline) {
    if (rule < 0 || rule >= READOUT_RULES) return 0.0;
    const RulePanels& p = RULE_PANELS[rule];
    const Panel& cursor = panelTable.panels[p.cursor];
    const Panel& body = panelTable.panels[p.upperBody];
    // ReadRulePosition backwards.
    const double seenX = hairline * INDEX_LENGTH + INDEX_LEFT_X - START_LEFT_X + body.corner[0][0];
    const double hairX = seenX * cursor.corner[0][2] / body.corner[0][2];
    return hairX - (static_cast<double>(cursor.corner[0][0]) + cursor.corner[3][0]) / 2.0;
}

double SlideShiftFor(int rule, double slide) {
    if (rule < 0 || rule >= READOUT_RULES) return 0.0;
    const RulePanels& p = RULE_PANELS[rule];
    const double now = static_cast<double>(panelTable.panels[p.slide].corner[0][0]) -
                       panelTable.panels[p.upperBody].corner[0][0];
    return slide * INDEX_LENGTH - now;
}

int RuleCursorPanel(int rule) { return rule == 1 ? PANEL_CURSOR_B : PANEL_CURSOR_A; }
int RuleSlidePanel(int rule) { return rule == 1 ? PANEL_SLIDE_B : PANEL_SLIDE_A; }

const TextureScales* RuleScales(int rule) {
    if (rule < 0 || rule >= READOUT_RULES) return nullptr;
    const int texture = static_cast<int>(panelTable.panels[RULE_PANELS[rule].upperBody].textureIndex);
    if (scaleMap.state != ScaleMapState::Loaded || texture < 0 || texture >= TEXTURE_TABLE_CAPACITY ||
        !scaleMap.textures[texture].described) {
        return nullptr;
    }
    return &scaleMap.textures[texture];
}

RuleReadout ReadRule(int rule) {
    RuleReadout readout{false, {}, 0.0, false};
    if (rule < 0 || rule >= READOUT_RULES) return readout;
    const RulePosition position = ReadRulePosition(rule);

    // C's left index lies on D where D has the value 10^(shift); past D's
    // end, the right index stands over D one decade further on.
    double indexPosition = position.slide;
    if (indexPosition < 0.0) indexPosition += 1.0;
    readout.settingOnScale = indexPosition >= 0.0 && indexPosition <= 1.0;
    readout.setting = std::pow(10.0, indexPosition);

    const TextureScales* map = RuleScales(rule);
    if (map == nullptr) return readout;
    readout.mapped = true;
    const TextureScales& scales = *map;
    for (int strip = 0; strip < STRIP_COUNT; ++strip) {
        const double at = strip == STRIP_SLIDE ? position.hairline - position.slide : position.hairline;
        for (const ScaleDefinition* scale : scales.strips[strip]) Read(scale, at, &readout.readings);
    }
    return readout;
}

std::string FormatFigures(double value, int figures, bool keepZeros) {
    char text[64];
    const double magnitude = std::fabs(value);
    if (magnitude >= std::pow(10.0, figures) && magnitude < 1e12) {
        // A large number's figures without an exponent, the rest as zeros.
        const double unit = std::pow(10.0, std::floor(std::log10(magnitude)) - (figures - 1));
        std::snprintf(text, sizeof text, "%.0f", std::round(value / unit) * unit);
    } else {
        std::snprintf(text, sizeof text, keepZeros ? "%#.*g" : "%.*g", figures, value);
    }
    return text;
}

std::string FormatReading(double value) { return FormatFigures(value, 4, true); }

std::string ReadoutLine(const RuleReadout& readout) {
    std::string line;
    for (const ScaleReading& reading : readout.readings) {
        line += std::string(reading.scale->name) + " " + (reading.onScale ? FormatReading(reading.value) : "-") +
                READING_SEPARATOR;
    }
    line += "C index over D " + (readout.settingOnScale ? FormatReading(readout.setting) : std::string("-"));
    return line;
}
