// The controls: the table that --help prints and F1 shows over the picture.
#pragma once

#include <string>

// What to do, and what it does.
struct Control {
    const char* keys;
    const char* effect;
};
extern const Control CONTROLS[];
extern const int CONTROL_COUNT;

// The controls as --help prints them: a line a control, the keys in a
// column of their own (longer keys on a line of their own), the effects
// wrapped at 80 columns.
std::string ControlsText();

// F1's panel over the picture; off until asked for.
struct HelpOverlay {
    bool shown = false;
};

extern HelpOverlay helpOverlay;

void ToggleHelp();

// Draws the controls' panel for a client of the given size, inside an
// overlay (render/text_panel.h), where it is shown.
void DrawHelp(int clientWidth, int clientHeight);
