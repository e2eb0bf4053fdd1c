// The readout over the picture (R): for each rule, above the upper one and
// below the lower one, the values under its hairline on every scale it
// carries and the slide's setting. Off until asked for.
#pragma once

struct ReadoutOverlay {
    bool shown = false;
};

extern ReadoutOverlay readoutOverlay;

void ToggleReadout();
void SetReadoutShown(bool shown);

// Draws both rules' readout panels for a client of the given size, inside
// an overlay (render/text_panel.h); nothing where no readout is shown.
void DrawReadouts(int clientWidth, int clientHeight);
