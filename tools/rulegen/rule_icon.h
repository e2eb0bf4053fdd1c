// The program's icon: a small slide rule, drawn with the generator's scales.
#pragma once

#include <cstdint>
#include <vector>

// Draws the icon as a square of `size` pixels: RGBA rows, top row first,
// transparent around the rule. A body with D and A scales, the slide pulled
// a little to the right with its C scale, and the cursor window with its
// hairline; the marks are placed by the scales' own functions, as finely as
// the size allows.
std::vector<uint8_t> DrawRuleIcon(int size);
