// What the real-window tests look for on a screenshot of the program, and
// the message boxes they find in the window tree.
#pragma once

#include <string>

#include "tests/x11/xvfb_session.h"

// A top-level window with this exact title that xdotool does not find (SDL's
// message boxes), from the window tree; 0 if none appears in time.
unsigned long FindMessageBox(const XvfbSession& session, const std::string& title, double seconds);

// Position of a scene point under the program's perspective, in pixels of a
// client area of the given size from its top-left corner.
double ProjectX(double x, double z, int clientWidth);
double ProjectY(double y, double z, int clientHeight);

// Rows through the first rule's lower body strip (y 2 to 4 at depth 23):
// through the marks of D, which hang from its top edge, and through the
// blank between D and L. With the default data up, the first shows many
// dark marks and the second the light body colour (not the white of an
// untextured rule). Counts such pixels from D's 1 to its 10.
struct DefaultRuleCount {
    int marks = 0;
    int body = 0;
    int span = 0;  // pixels from D's 1 to its 10
    bool Shown() const { return marks > span / 4 && body > span / 2; }
};
// In the client area where it lies on the screen; null: the whole screen.
DefaultRuleCount CountDefaultRulePixels(const Screenshot& shot, const WindowGeometry* client = nullptr);
// Takes screenshots until the default rules show or `seconds` pass; the last
// count. False when no screenshot could be taken.
bool WaitForDefaultRules(const XvfbSession& session, double seconds, DefaultRuleCount* count,
                         const WindowGeometry* client = nullptr);
