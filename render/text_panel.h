// Text on plain panels over the picture: the readout's lines and the help.
// One look for every panel: dark text on a light grey, sized from its text.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A line of a panel and the room around its text, in the desktop's pixels;
// PanelLineHeight and PanelPadding give them at the text's scale.
constexpr int PANEL_LINE_HEIGHT = 16;
constexpr int PANEL_PADDING = 6;
int PanelLineHeight();
int PanelPadding();

// Sets up drawing flat, in client pixels from the top left, over everything,
// for a client of the given size; EndOverlay gives the scene's state
// (texturing, culling, its matrices and colour) back.
void BeginOverlay(int clientWidth, int clientHeight);
void EndOverlay();

void FillPanel(int left, int top, int width, int height);

// A line of text with its top at `top` and its left end at `x`, black or
// in the given grey.
void PanelTextLine(int x, int top, const std::string& text, float grey = 0.0f);

// Cuts text into lines at its separators, as many pieces a line as `fits`
// lets it have (a piece too long for a line stands alone).
std::vector<std::string> WrapText(const std::string& text, const std::string& separator,
                                  const std::function<bool(const std::string&)>& fits);
// Lines that fit `width` pixels of the text font.
std::vector<std::string> WrapToWidth(const std::string& text, const std::string& separator, int width);
// The widest of the lines in the text font, in pixels.
float WidestLine(const std::vector<std::string>& lines);

// A text caret: a thin upright bar from `top`, `height` pixels tall.
void DrawPanelCaret(float x, int top, int height);
