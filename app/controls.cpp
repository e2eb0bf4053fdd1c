#include "app/controls.h"

#include <algorithm>
#include <vector>

#include "render/bitmap_font.h"
#include "render/text_panel.h"

const Control CONTROLS[] = {
    {"left button held over a slide or cursor window, mouse moved sideways",
     "drags it along the rule, within the rule's ends"},
    {"0 to 9 while dragging", "how far a drag moves per pixel (9 fastest, 0 finest)"},
    {"left, right arrow", "moves the slide or cursor window last dragged as one pixel of the mouse does"},
    {"right button held, mouse moved", "moves the whole scene, within limits"},
    {"up arrow, keypad +", "moves the rules nearer while held"},
    {"down arrow, keypad -", "moves the rules farther away while held"},
    {"mouse wheel", "moves the rules nearer or farther, a step a notch"},
    {"one finger, two fingers (a touch screen, in the browser)",
     "one finger drags a slide or cursor window as the left button does, elsewhere moves the scene as the right "
     "button does; two fingers spread or pinched move the rules nearer or farther and, moved together, move the scene"},
    {"Shift, held", "magnifies the picture two times"},
    {"R", "shows or hides the values under the hairlines"},
    {"F1", "shows or hides these controls"},
    {"Enter", "opens the command line: type a setting (D 2.5, CI 4, C 1 over D 2, upper or lower first to pick the "
              "rule) or a calculation (3.7*4.2/1.9, sqrt(5), sin(30), 1.05^12) and Enter again to see the rule work it"},
    {"Space", "takes a demonstration on to its next step"},
    {"P", "starts or ends practice: Enter checks the answer left under the hairline, S shows how"},
    {"Escape", "closes the command line, stops a demonstration, or ends the program"},
};
const int CONTROL_COUNT = static_cast<int>(sizeof CONTROLS / sizeof CONTROLS[0]);

HelpOverlay helpOverlay;

namespace {

// The help's panel, and where its effects begin.
constexpr int HELP_WIDTH = 640;
constexpr int HELP_EFFECT_X = 190;

// --help's columns: the keys from the third, the effects from the 25th.
constexpr size_t KEYS_INDENT = 2;
constexpr size_t EFFECT_COLUMN = 24;
constexpr size_t LINE_COLUMNS = 80;

}  // namespace

std::string ControlsText() {
    std::string text;
    const std::string indent(EFFECT_COLUMN, ' ');
    for (const Control& control : CONTROLS) {
        const std::string keys = std::string(KEYS_INDENT, ' ') + control.keys;
        const std::vector<std::string> effect =
            WrapText(control.effect, " ",
                     [](const std::string& line) { return line.size() <= LINE_COLUMNS - EFFECT_COLUMN; });
        size_t first = 0;
        if (keys.size() < EFFECT_COLUMN) {
            text += keys + std::string(EFFECT_COLUMN - keys.size(), ' ') + effect[0] + "\n";
            first = 1;
        } else {
            text += keys + "\n";
        }
        for (size_t k = first; k < effect.size(); ++k) text += indent + effect[k] + "\n";
    }
    return text;
}

void ToggleHelp() { helpOverlay.shown = !helpOverlay.shown; }

void DrawHelp(int clientWidth, int clientHeight) {
    if (!helpOverlay.shown) return;
    const int padding = PanelPadding();
    const int lineHeight = PanelLineHeight();
    const int effectX = TextPixels(HELP_EFFECT_X);
    // The controls' keys in one column and their effects in another, each
    // effect wrapped to the panel; keys wider than their column stand on a
    // line of their own.
    struct HelpLine {
        int x;
        int row;
        std::string text;
    };
    const int width = std::min(clientWidth - 2 * padding, TextPixels(HELP_WIDTH));
    const float effectWidth = static_cast<float>(width - effectX - 2 * padding);
    const auto fits = [effectWidth](const std::string& line) { return TextWidth(line.c_str()) <= effectWidth; };
    std::vector<HelpLine> lines = {{0, 0, "Vernaskel's controls (F1 hides them)"}};
    int row = 2;
    for (int k = 0; k < CONTROL_COUNT; ++k) {
        const Control& control = CONTROLS[k];
        lines.push_back({0, row, control.keys});
        if (TextWidth(control.keys) + padding > effectX) ++row;
        for (const std::string& line : WrapText(control.effect, " ", fits)) lines.push_back({effectX, row++, line});
    }
    const int height = row * lineHeight + 2 * padding;
    const int left = (clientWidth - width) / 2;
    const int top = std::max(padding, (clientHeight - height) / 2);
    FillPanel(left, top, width, height);
    for (const HelpLine& line : lines) {
        PanelTextLine(left + padding + line.x, top + padding + line.row * lineHeight, line.text);
    }
}
