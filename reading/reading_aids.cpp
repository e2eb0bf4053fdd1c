#include "reading/reading_aids.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "interaction/dragging.h"
#include "platform/platform.h"
#include "reading/readout.h"
#include "reading/scale_map.h"
#include "render/bitmap_font.h"
#include "render/view.h"

ReadingAids readingAids = {false, false, 0, 0};

const Control CONTROLS[] = {
    {"left button held over a slide or cursor window, mouse moved sideways",
     "drags it along the rule, within the rule's ends"},
    {"0 to 9 while dragging", "how far a drag moves per pixel (9 fastest, 0 finest)"},
    {"left, right arrow", "moves the slide or cursor window last dragged as one pixel of the mouse does"},
    {"right button held, mouse moved", "moves the whole scene, within limits"},
    {"up arrow, keypad +", "moves the rules nearer while held"},
    {"down arrow, keypad -", "moves the rules farther away while held"},
    {"mouse wheel", "moves the rules nearer or farther, a step a notch"},
    {"Shift, held", "magnifies the picture two times"},
    {"R", "shows or hides the values under the hairlines"},
    {"F1", "shows or hides these controls"},
    {"Escape", "ends the program"},
};
const int CONTROL_COUNT = static_cast<int>(sizeof CONTROLS / sizeof CONTROLS[0]);

namespace {

// --help's columns: the keys from the third, the effects from the 25th.
constexpr size_t KEYS_INDENT = 2;
constexpr size_t EFFECT_COLUMN = 24;
constexpr size_t LINE_COLUMNS = 80;

// Cuts text into lines at its blanks, as many words a line as `fits` lets
// it have (a word too long for a line stands alone).
template <typename Fits>
std::vector<std::string> Wrap(const std::string& text, Fits fits) {
    std::vector<std::string> lines(1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string longer = lines.back().empty() ? word : lines.back() + " " + word;
        if (!lines.back().empty() && !fits(longer)) {
            lines.push_back(word);
        } else {
            lines.back() = longer;
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string ControlsText() {
    std::string text;
    const std::string indent(EFFECT_COLUMN, ' ');
    for (const Control& control : CONTROLS) {
        const std::string keys = std::string(KEYS_INDENT, ' ') + control.keys;
        const std::vector<std::string> effect =
            Wrap(control.effect, [](const std::string& line) { return line.size() <= LINE_COLUMNS - EFFECT_COLUMN; });
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

namespace {

constexpr int VK_R = VK_A + ('R' - 'A');

// The readout's and the help's look: dark text on a light panel of their own.
constexpr float PANEL_GREY = 0.93f;
constexpr float TEXT_GREY = 0.0f;
constexpr int LINE_HEIGHT = 16;
constexpr int PADDING = 6;
// Where the readouts stand, as shares of the client's height: above the
// upper rule and below the lower one as the rules start (their edges lie at
// 15.6 and 80.6 percent of the height).
constexpr double UPPER_READOUT_TOP = 0.04;
constexpr double LOWER_READOUT_TOP = 0.87;
// The help's panel, and where its effects begin.
constexpr int HELP_WIDTH = 640;
constexpr int HELP_EFFECT_X = 190;

void FillPanel(int left, int top, int width, int height) {
    glColor3f(PANEL_GREY, PANEL_GREY, PANEL_GREY);
    glBegin(GL_QUADS);
    glVertex3d(left, top, 0.0);
    glVertex3d(left, top + height, 0.0);
    glVertex3d(left + width, top + height, 0.0);
    glVertex3d(left + width, top, 0.0);
    glEnd();
}

// Text with its top at `top`: PrintText's baseline lies cellHeight - 9
// pixels below its y, and the glyphs rise about 10 pixels above it.
void TextLine(int x, int top, const std::string& text) {
    PrintText(x - 9, top + 10 - static_cast<int32_t>(bitmapFont.cellHeight - 9.0f), TEXT_GREY, TEXT_GREY, TEXT_GREY,
              "%s", text.c_str());
}

void DrawReadout(int rule, int top, int clientWidth) {
    std::string line;
    if (scaleMap.state == ScaleMapState::Missing) {
        line = "No readout: these rules come without a scale map (data/scales).";
    } else if (scaleMap.state == ScaleMapState::Malformed) {
        line = "No readout: the scale map (data/scales) could not be read; standard error says why.";
    } else {
        const RuleReadout readout = ReadRule(rule);
        line = readout.mapped ? ReadoutLine(readout) : "No readout: the scale map does not describe this rule.";
    }
    const int width = std::min(clientWidth - 2 * PADDING, static_cast<int>(TextWidth(line.c_str())) + 2 * PADDING);
    FillPanel(PADDING, top, width, LINE_HEIGHT + PADDING);
    TextLine(2 * PADDING, top + PADDING / 2 + 1, line);
}

void DrawHelp(int clientWidth, int clientHeight) {
    // The controls' keys in one column and their effects in another, each
    // effect wrapped to the panel; keys wider than their column stand on a
    // line of their own.
    struct HelpLine {
        int x;
        int row;
        std::string text;
    };
    const int width = std::min(clientWidth - 2 * PADDING, HELP_WIDTH);
    const float effectWidth = static_cast<float>(width - HELP_EFFECT_X - 2 * PADDING);
    const auto fits = [effectWidth](const std::string& line) { return TextWidth(line.c_str()) <= effectWidth; };
    std::vector<HelpLine> lines = {{0, 0, "Vernaskel's controls (F1 hides them)"}};
    int row = 2;
    for (int k = 0; k < CONTROL_COUNT; ++k) {
        const Control& control = CONTROLS[k];
        lines.push_back({0, row, control.keys});
        if (TextWidth(control.keys) + PADDING > HELP_EFFECT_X) ++row;
        for (const std::string& line : Wrap(control.effect, fits)) lines.push_back({HELP_EFFECT_X, row++, line});
    }
    const int height = row * LINE_HEIGHT + 2 * PADDING;
    const int left = (clientWidth - width) / 2;
    const int top = std::max(PADDING, (clientHeight - height) / 2);
    FillPanel(left, top, width, height);
    for (const HelpLine& line : lines) {
        TextLine(left + PADDING + line.x, top + PADDING + line.row * LINE_HEIGHT, line.text);
    }
}

}  // namespace

void HandleReadingKey(uintptr_t virtualKey, intptr_t lParam) {
    const bool repeat = (lParam & KEY_REPEAT_BIT) != 0;
    if (virtualKey == VK_R && !repeat) readingAids.readoutShown = !readingAids.readoutShown;
    if (virtualKey == VK_F1 && !repeat) readingAids.helpShown = !readingAids.helpShown;
    if (virtualKey == VK_LEFT) --readingAids.nudgePixels;
    if (virtualKey == VK_RIGHT) ++readingAids.nudgePixels;
}

void HandleWheel(uintptr_t wParam) { readingAids.wheelDelta += static_cast<int16_t>(HighWord(static_cast<intptr_t>(wParam))); }

void ApplyFineMoves() {
    if (readingAids.nudgePixels != 0 && lastDraggedPanel >= 0) {
        DragPanelByPixels(lastDraggedPanel, static_cast<float>(readingAids.nudgePixels));
    }
    readingAids.nudgePixels = 0;
}

void DrawReadingAids() {
    if (!readingAids.readoutShown && !readingAids.helpShown) return;
    const int width = static_cast<int>(viewState.clientWidth);
    const int height = static_cast<int>(viewState.clientHeight);
    if (width <= 0 || height <= 0) return;
    // Flat, in client pixels from the top left, over everything; the
    // scene's state (texturing on, culling, its matrices and colour) is
    // given back afterwards.
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (readingAids.readoutShown) {
        DrawReadout(0, static_cast<int>(UPPER_READOUT_TOP * height), width);
        DrawReadout(1, static_cast<int>(LOWER_READOUT_TOP * height), width);
    }
    if (readingAids.helpShown) DrawHelp(width, height);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
