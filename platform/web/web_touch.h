// Touch on the page's canvas, worked as the mouse: one finger on a part the
// program drags holds the left button, one finger elsewhere the right; two
// fingers zoom by their spread (wheel turns) and pan by their midpoint (the
// right button). What the fingers do is turned into button presses and
// releases that wait, each, for a pass that has seen the pointer where it
// happened, so that picking looks under the finger and no motion is lost.
#pragma once

#include <cstdint>

// Registers the canvas's touch callbacks.
void WebListenToTouch();
// The drain: posts the presses and releases that are due and, while touch
// leads the pointer, gives the point this pass sees (true).
bool WebTouchDrain(int32_t* x, int32_t* y);
// The page lost the keyboard: forgets what touch had yet to post, and
// ignores the fingers still down until they are lifted.
void WebTouchLetGo();
