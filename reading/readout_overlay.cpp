#include "reading/readout_overlay.h"

#include <algorithm>
#include <string>
#include <vector>

#include "reading/readout.h"
#include "reading/scale_map.h"
#include "render/bitmap_font.h"
#include "render/text_panel.h"

ReadoutOverlay readoutOverlay;

namespace {

// Where the readouts stand, as shares of the client's height: above the
// upper rule and below the lower one as the rules start (their edges lie at
// 15.6 and 80.6 percent of the height).
constexpr double UPPER_READOUT_TOP = 0.04;
constexpr double LOWER_READOUT_TOP = 0.87;

void DrawReadout(int rule, int top, int clientWidth) {
    const int padding = PanelPadding();
    const int lineHeight = PanelLineHeight();
    std::string line;
    if (scaleMap.state == ScaleMapState::Missing) {
        line = "No readout: these rules come without a scale map (data/scales).";
    } else if (scaleMap.state == ScaleMapState::Malformed) {
        line = "No readout: the scale map (data/scales) could not be read; standard error says why.";
    } else {
        const RuleReadout readout = ReadRule(rule);
        line = readout.mapped ? ReadoutLine(readout) : "No readout: the scale map does not describe this rule.";
    }
    // A line too long for the client (a phone's) goes on in further lines,
    // broken between readings.
    const std::vector<std::string> lines = WrapToWidth(line, READING_SEPARATOR, clientWidth - 4 * padding);
    const float widest = WidestLine(lines);
    const int width = std::min(clientWidth - 2 * padding, static_cast<int>(widest) + 2 * padding);
    FillPanel(padding, top, width, static_cast<int>(lines.size()) * lineHeight + padding);
    for (size_t k = 0; k < lines.size(); ++k) {
        PanelTextLine(2 * padding, top + padding / 2 + 1 + static_cast<int>(k) * lineHeight, lines[k]);
    }
}

}  // namespace

void ToggleReadout() { readoutOverlay.shown = !readoutOverlay.shown; }
void SetReadoutShown(bool shown) { readoutOverlay.shown = shown; }

void DrawReadouts(int clientWidth, int clientHeight) {
    if (!readoutOverlay.shown) return;
    DrawReadout(0, static_cast<int>(UPPER_READOUT_TOP * clientHeight), clientWidth);
    DrawReadout(1, static_cast<int>(LOWER_READOUT_TOP * clientHeight), clientWidth);
}
