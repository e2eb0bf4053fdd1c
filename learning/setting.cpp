#include "learning/setting.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "interaction/dragging.h"
#include "reading/readout_overlay.h"
#include "scene/move_limits.h"
#include "scene/panels.h"
#include "scene/transforms.h"

namespace {

constexpr const char* VERSION_FIELD = "v1";
constexpr size_t MAX_TEXT_LENGTH = 256;

// Where a setting may put what it holds. A pass tests a limit of the zoom or
// the pan before it moves, so the rule may stand up to one pass's move past
// one: a held zoom key's longest pass, or a pan by however far the pointer
// jumped in one pass (across a screen of thousands of pixels at 0.18 units
// a pixel); past that, nothing the user did put it. A hairline and a slide cannot leave the body's ends by
// more than the window's margin and the parallax.
constexpr double ZOOM_SLACK = 1.5;
constexpr double PAN_SLACK = 1000.0;
constexpr double HAIRLINE_LOW = -0.25;
constexpr double HAIRLINE_HIGH = 1.25;
constexpr double SLIDE_LIMIT = 1.25;

struct Range {
    const char* name;
    double low;
    double high;
};

constexpr Range HAIRLINE_RANGE[READOUT_RULES] = {{"the upper rule's hairline", HAIRLINE_LOW, HAIRLINE_HIGH},
                                                 {"the lower rule's hairline", HAIRLINE_LOW, HAIRLINE_HIGH}};
constexpr Range SLIDE_RANGE[READOUT_RULES] = {{"the upper rule's slide", -SLIDE_LIMIT, SLIDE_LIMIT},
                                              {"the lower rule's slide", -SLIDE_LIMIT, SLIDE_LIMIT}};
constexpr Range CORNER_RANGE[3] = {
    {"the pan across", PAN_LIMIT_LEFT - PAN_SLACK, PAN_LIMIT_RIGHT + PAN_SLACK},
    {"the pan up and down", PAN_LIMIT_BOTTOM - PAN_SLACK, PAN_LIMIT_TOP + PAN_SLACK},
    {"the zoom", ZOOM_IN_LIMIT - ZOOM_SLACK, ZOOM_OUT_LIMIT + ZOOM_SLACK},
};
constexpr Range SENSITIVITY_RANGE = {"the drag sensitivity", DIGIT_SENSITIVITY[0], DIGIT_SENSITIVITY[9]};

double Clamp(double value, const Range& range) {
    return value < range.low ? range.low : (value > range.high ? range.high : value);
}

// %g's text without a '+' or leading zeros in the exponent: 1e-05 as 1e-5.
std::string TidyExponent(const char* text) {
    std::string tidy;
    bool inExponent = false;
    bool leading = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == 'e') {
            inExponent = true;
            leading = true;
        } else if (inExponent && *c == '+') {
            continue;
        } else if (inExponent && leading && *c == '0' && c[1] != '\0') {
            continue;
        } else if (*c != '-') {
            leading = false;
        }
        tidy += *c;
    }
    return tidy;
}

// The fewest significant digits that read back as the same value.
std::string ShortestDouble(double value) {
    char text[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return TidyExponent(text);
}

std::string ShortestFloat(float value) {
    char text[40];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return TidyExponent(text);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at`; the index after them.
size_t SkipDigits(const std::string& text, size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// -D+[.D+][e[-]D+], nothing else: no blanks, no signs '+', no "inf".
bool IsNumber(const std::string& text) {
    size_t at = text.empty() || text[0] != '-' ? 0 : 1;
    size_t end = SkipDigits(text, at);
    if (end == at) return false;
    if (end < text.size() && text[end] == '.') {
        at = end + 1;
        end = SkipDigits(text, at);
        if (end == at) return false;
    }
    if (end < text.size() && text[end] == 'e') {
        at = end + 1;
        if (at < text.size() && text[at] == '-') ++at;
        end = SkipDigits(text, at);
        if (end == at) return false;
    }
    return end == text.size();
}

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

bool ReadNumber(const std::string& text, const Range& range, double* value, std::string* error) {
    if (!IsNumber(text)) return Fail(error, std::string(range.name) + " is not a number");
    *value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(*value) || *value < range.low || *value > range.high) {
        return Fail(error, std::string(range.name) + " lies outside " + ShortestDouble(range.low) + " to " +
                               ShortestDouble(range.high));
    }
    return true;
}

// A field of `count` numbers separated by commas, as doubles and, where
// asked for, as floats: a float's digits read as a float give that float.
bool ReadNumbers(const std::string& field, const char* fieldName, const Range* ranges, int count, double* values,
                 float* floats, std::string* error) {
    const std::vector<std::string> parts = Split(field, ',');
    if (static_cast<int>(parts.size()) != count) {
        return Fail(error, std::string(fieldName) + " takes " + std::to_string(count) +
                               (count == 1 ? " number" : " numbers separated by commas"));
    }
    for (int k = 0; k < count; ++k) {
        if (!ReadNumber(parts[k], ranges[k], &values[k], error)) return false;
        if (floats != nullptr) floats[k] = std::strtof(parts[k].c_str(), nullptr);
    }
    return true;
}

// Moves the scene along one axis until the reference corner stands at the
// target: a float sum can land a unit in the last place short, which a
// second, tiny move makes up.
void MoveReferenceTo(int axis, float target) {
    const float* corner = panelTable.panels[PANEL_UPPER_BODY_A].corner[0];
    for (int attempt = 0; attempt < 3 && corner[axis] != target; ++attempt) {
        const float amount = static_cast<float>(static_cast<double>(target) - corner[axis]);
        if (axis == 2) {
            TranslateAllPanels(Vec3f{0.0f, 0.0f, amount});
        } else {
            PanPanels(axis, amount);
        }
    }
}

}  // namespace

Setting CaptureSetting() {
    Setting setting;
    for (int rule = 0; rule < READOUT_RULES; ++rule) setting.rules[rule] = ReadRulePosition(rule);
    for (int axis = 0; axis < 3; ++axis) setting.corner[axis] = panelTable.panels[PANEL_UPPER_BODY_A].corner[0][axis];
    setting.dragSensitivity = dragSensitivity;
    setting.readoutShown = readoutOverlay.shown;
    return setting;
}

void ApplySetting(const Setting& setting) {
    // The zoom first: how far the parts move for a position depends on it.
    for (int axis : {2, 0, 1}) {
        MoveReferenceTo(axis, static_cast<float>(Clamp(setting.corner[axis], CORNER_RANGE[axis])));
    }
    for (int rule = 0; rule < READOUT_RULES; ++rule) {
        const RulePosition& position = setting.rules[rule];
        MovePanelAlongRule(RuleSlidePanel(rule), SlideShiftFor(rule, Clamp(position.slide, SLIDE_RANGE[rule])));
        MovePanelAlongRule(RuleCursorPanel(rule),
                           HairlineShiftFor(rule, Clamp(position.hairline, HAIRLINE_RANGE[rule])));
    }
    SetDragSensitivity(static_cast<float>(Clamp(setting.dragSensitivity, SENSITIVITY_RANGE)));
    SetReadoutShown(setting.readoutShown);
}

std::string SettingText(const Setting& setting) {
    std::string text = VERSION_FIELD;
    for (const RulePosition& position : setting.rules) {
        text += "_" + ShortestDouble(position.hairline) + "," + ShortestDouble(position.slide);
    }
    text += "_" + ShortestFloat(setting.corner[0]) + "," + ShortestFloat(setting.corner[1]) + "," +
            ShortestFloat(setting.corner[2]);
    text += "_" + ShortestFloat(setting.dragSensitivity);
    text += setting.readoutShown ? "_1" : "_0";
    return text;
}

bool ParseSettingText(const std::string& text, Setting* setting, std::string* error) {
    if (text.size() > MAX_TEXT_LENGTH) return Fail(error, "a setting is at most 256 characters long");
    const std::vector<std::string> fields = Split(text, '_');
    if (fields[0] != VERSION_FIELD) {
        const bool versioned =
            fields[0].size() > 1 && fields[0][0] == 'v' && SkipDigits(fields[0], 1) == fields[0].size();
        return Fail(error, versioned ? "a setting of version " + fields[0].substr(1) + ": this program reads version 1"
                                     : std::string("not a setting: it begins with v1_"));
    }
    if (fields.size() != 6) {
        return Fail(error, "a setting has 6 fields separated by '_', this one " + std::to_string(fields.size()));
    }
    Setting read;
    for (int rule = 0; rule < READOUT_RULES; ++rule) {
        const Range ranges[2] = {HAIRLINE_RANGE[rule], SLIDE_RANGE[rule]};
        double values[2];
        const char* name = rule == 0 ? "the upper rule" : "the lower rule";
        if (!ReadNumbers(fields[1 + rule], name, ranges, 2, values, nullptr, error)) return false;
        read.rules[rule] = RulePosition{values[0], values[1]};
    }
    double unused[3];
    if (!ReadNumbers(fields[3], "the pan and zoom", CORNER_RANGE, 3, unused, read.corner, error)) return false;
    if (!ReadNumbers(fields[4], SENSITIVITY_RANGE.name, &SENSITIVITY_RANGE, 1, unused, &read.dragSensitivity, error)) {
        return false;
    }
    if (fields[5] != "0" && fields[5] != "1") return Fail(error, "the readout is 0 (hidden) or 1 (shown)");
    read.readoutShown = fields[5] == "1";
    *setting = read;
    return true;
}
