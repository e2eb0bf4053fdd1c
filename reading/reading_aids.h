// Reading the rule: the values under the hairlines (R), the controls over
// the picture (F1), the fine moves of the part last dragged (the left and
// right arrows) and the wheel's zoom. All of it is off or idle until asked
// for: without these keys and the wheel the program runs as before.
#pragma once

#include <cstdint>
#include <string>

struct ReadingAids {
    bool readoutShown;  // R
    bool helpShown;     // F1
    // Moves asked for since the last pass, applied by the next pass.
    int32_t nudgePixels;   // the arrows: one pixel of mouse motion's worth a press or repeat
    int32_t wheelDelta;    // the wheel: WHEEL_DELTA a notch, away from the user positive
};

extern ReadingAids readingAids;

// How far a notch of the wheel moves the rules along z.
constexpr double WHEEL_ZOOM_STEP = 0.5;

// The controls: what to do, and what it does.
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

// The window procedure's part: R and F1 toggle on a fresh press (not on a
// held key's repeats); the arrows nudge on every press and repeat.
void HandleReadingKey(uintptr_t virtualKey, intptr_t lParam);
void HandleWheel(uintptr_t wParam);

// The frame's part, after its zoom keys and the wheel's (which the frame
// driver applies, a WHEEL_ZOOM_STEP a notch): the nudges move the part last
// dragged as that much mouse motion would, within the rule's ends; nothing
// before any drag.
void ApplyFineMoves();

// Draws the readout and the help where they are shown, over the scene that
// was just drawn; GL's state is left as it was.
void DrawReadingAids();
