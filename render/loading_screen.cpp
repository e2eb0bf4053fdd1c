#include "render/loading_screen.h"

#include <GL/gl.h>

#include "platform/platform.h"
#include "render/bitmap_font.h"
#include "render/view.h"

int32_t textureCount = 0;
float LoadProgress = 0.0f;

namespace {

constexpr double FRAME_LEFT = -0.1;
constexpr double FRAME_RIGHT = 0.1;
constexpr double FRAME_BOTTOM = -0.08;
constexpr double FRAME_TOP = -0.07;
constexpr double BAR_RED = 0.9;
constexpr double BAR_BLUE = 0.1;
constexpr float CAPTION_GREY = 140.0f;  // saturates to white
constexpr int32_t CAPTION_X = 45;
constexpr double CAPTION_RISE = 100.0;  // caption y is this far above the client's bottom

void DrawLine(double x0, double y0, double x1, double y1) {
    glBegin(GL_LINES);
    glVertex3d(x0, y0, LOADING_DEPTH);
    glVertex3d(x1, y1, LOADING_DEPTH);
    glEnd();
}

float SegmentWidth() { return static_cast<float>(0.2 / textureCount); }
float ProgressIncrement() { return static_cast<float>(1.0 / textureCount); }

void DrawSegment(float n) {
    const float w = SegmentWidth();
    const double right = static_cast<double>(w) * n - 0.1;
    const double left = right - w;
    glBegin(GL_QUADS);
    glVertex3d(left, FRAME_BOTTOM, LOADING_DEPTH);
    glVertex3d(left, FRAME_TOP, LOADING_DEPTH);
    glVertex3d(right, FRAME_TOP, LOADING_DEPTH);
    glVertex3d(right, FRAME_BOTTOM, LOADING_DEPTH);
    glEnd();
}

// The whole loading picture with the first `segments` segments of the bar.
// A presented back buffer holds nothing certain, so every picture is drawn
// in full before it is presented.
void DrawLoadingScreen(int32_t segments) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3d(BAR_RED, 0.0, 0.0);
    SetupOrthographicProjection();
    DrawLine(FRAME_LEFT, FRAME_BOTTOM, FRAME_LEFT, FRAME_TOP);
    DrawLine(FRAME_LEFT, FRAME_TOP, FRAME_RIGHT, FRAME_TOP);
    DrawLine(FRAME_RIGHT, FRAME_TOP, FRAME_RIGHT, FRAME_BOTTOM);
    DrawLine(FRAME_LEFT, FRAME_BOTTOM, FRAME_RIGHT, FRAME_BOTTOM);
    PrintText(CAPTION_X, static_cast<int32_t>(viewState.clientHeight - CAPTION_RISE), CAPTION_GREY, CAPTION_GREY,
              CAPTION_GREY, "L o a d i n g . . .");
    // Each segment keeps the green that the progress had when it was first
    // drawn; the progress runs from 0 once, so the sums repeat exactly.
    float green = 0.0f;
    for (int32_t k = 1; k <= segments; ++k) {
        glColor3d(BAR_RED, green, BAR_BLUE);
        DrawSegment(static_cast<float>(k));
        green += ProgressIncrement();
    }
}

}  // namespace

void ShowLoadingScreen(int32_t count) {
    textureCount = count;
    DrawLoadingScreen(0);
}

void DrawProgressStep(float n) {
    DrawLoadingScreen(static_cast<int32_t>(n) - 1);
    glColor3d(BAR_RED, LoadProgress, BAR_BLUE);
    DrawSegment(n);
    LoadProgress += ProgressIncrement();
    PlatformSwapBuffers();
}
