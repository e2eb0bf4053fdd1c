// The command line: a one-line input over the bottom of the picture, opened
// with Enter, in which the learner types a setting or a calculation. Its
// panel keeps showing the last message or caption once the line is closed.
#pragma once

#include <string>

struct CommandLine {
    bool open = false;
    std::string text;     // what has been typed
    std::string message;  // shown in the panel while the line is closed
};

extern CommandLine commandLine;

// The longest line that can be typed; further characters are dropped.
constexpr size_t COMMAND_LINE_MAX = 120;

void OpenCommandLine();
// Closes the line without running it; the message shown before stays.
void CloseCommandLine();
// A typed character (code page 1252): printable ones are added.
void TypeCharacter(unsigned character);
void DeleteLastCharacter();
// Closes the line and returns what was typed.
std::string TakeCommandLine();

// What the panel shows while the line is closed; empty hides the panel.
void ShowMessage(const std::string& message);

// Draws the panel (the line with its caret while open, else the message)
// inside an overlay (render/text_panel.h) for a client of the given size.
void DrawCommandLine(int clientWidth, int clientHeight);
