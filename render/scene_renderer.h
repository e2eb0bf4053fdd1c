// Draws the two slide rules from the panel table, once per frame, between a
// clear and a present.
#pragma once

// Draws the cursor windows as bevelled outlines with their hairlines and the
// strips and slides as textured quadrilaterals, in a fixed order.
void RenderScene();
void DrawPanelOutline(int panel);
void DrawTexturedBatch(int first, int second, int third);

// Clears the colour buffer to black and the depth buffer.
void ClearBuffers();
// Presents the back buffer of the current context.
void PresentFrame();
