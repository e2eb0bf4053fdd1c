// The loading screen: a caption and a bar that fills a segment a texture as
// the texture list's entries load.
#pragma once

#include <cstdint>

extern int32_t textureCount;  // entries of the list being loaded
extern float LoadProgress;    // 0 at program start; 1 / textureCount more per entry

// Where the loading screen's frame and bar lie, between the near and the far
// plane of the orthographic set-up.
constexpr double LOADING_DEPTH = 1.0;

// Starts the loading screen for a list of `count` entries: draws the caption
// and the empty bar's frame (not presented).
void ShowLoadingScreen(int32_t count);

// Shows the loading screen with entry n's segment added (n is 1-based).
void DrawProgressStep(float n);
