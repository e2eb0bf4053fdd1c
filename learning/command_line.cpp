#include "learning/command_line.h"

#include <algorithm>
#include <vector>

#include "render/bitmap_font.h"
#include "render/text_panel.h"

CommandLine commandLine;

namespace {

constexpr const char* PROMPT = "> ";
constexpr const char* HINT =
    "a setting (D 2.5, C 1 over D 2) or a calculation (3.7*4.2/1.9); Enter runs it, Escape closes";
// The line's panel is at least this share of the client's width while open.
constexpr double OPEN_PANEL_SHARE = 0.5;
constexpr float HINT_GREY = 0.45f;

}  // namespace

void OpenCommandLine() {
    commandLine.open = true;
    commandLine.text.clear();
}

void CloseCommandLine() {
    commandLine.open = false;
    commandLine.text.clear();
}

void TypeCharacter(unsigned character) {
    if (!commandLine.open || commandLine.text.size() >= COMMAND_LINE_MAX) return;
    const bool printable = (character >= 0x20 && character < 0x7F) || (character >= 0xA0 && character <= 0xFF);
    if (printable) commandLine.text += static_cast<char>(character);
}

void DeleteLastCharacter() {
    if (commandLine.open && !commandLine.text.empty()) commandLine.text.pop_back();
}

std::string TakeCommandLine() {
    std::string text = commandLine.text;
    CloseCommandLine();
    return text;
}

void ShowMessage(const std::string& message) { commandLine.message = message; }

void DrawCommandLine(int clientWidth, int clientHeight) {
    if (!commandLine.open && commandLine.message.empty()) return;
    const int padding = PanelPadding();
    const int lineHeight = PanelLineHeight();
    const int textLeft = 2 * padding;
    const int room = clientWidth - 4 * padding;
    std::vector<std::string> lines;
    if (commandLine.open) {
        lines.push_back(PROMPT + commandLine.text);
    } else {
        // A message too long for the client (a phone's) goes on in further
        // lines, broken between words; the panel grows upward.
        lines = WrapToWidth(commandLine.message, " ", room);
    }
    const float widest = WidestLine(lines);
    int width = static_cast<int>(widest) + 2 * padding;
    const float caretX = static_cast<float>(textLeft) + widest + 1.0f;
    if (commandLine.open) {
        const int hintWidth = commandLine.text.empty() ? static_cast<int>(TextWidth(HINT)) + 3 * padding : 0;
        width = std::max({width + padding, static_cast<int>(OPEN_PANEL_SHARE * clientWidth), width + hintWidth});
    }
    width = std::min(width, clientWidth - 2 * padding);
    const int height = static_cast<int>(lines.size()) * lineHeight + padding;
    const int top = clientHeight - height - padding;
    FillPanel(padding, top, width, height);
    const int textTop = top + padding / 2 + 1;
    for (size_t k = 0; k < lines.size(); ++k) {
        PanelTextLine(textLeft, textTop + static_cast<int>(k) * lineHeight, lines[k]);
    }
    if (!commandLine.open) return;
    DrawPanelCaret(caretX, textTop, lineHeight - TextPixels(4));
    if (commandLine.text.empty()) {
        PanelTextLine(static_cast<int>(caretX) + 2 * padding, textTop, HINT, HINT_GREY);
    }
}
