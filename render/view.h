// The view: client size, the two projections, the picking projection's
// values and the camera.
#pragma once

#include "scene/scene_math.h"

struct ViewState {
    double clientWidth;        // from WM_SIZE
    double clientHeight;
    float frustumHalfWidth;    // perspective view window at the near distance
    float frustumHalfHeight;
    float nearPlane;           // near distance of both projections; Shift doubles it
    float baseNearPlane;       // nearPlane as it stood at program start
    float pickHalfWidth;       // picking: half extents of the picture plane
    float pickHalfHeight;
    float pickDistance;        // picking: eye to picture plane; Shift doubles it
    float basePickDistance;
    Vec3f eyePoint;            // camera position
    Vec3f backPoint;           // the camera looks from here through eyePoint
    Vec3f upVector;
    float headingDegrees;      // heading of backPoint - eyePoint, from +z toward +x
    float orbitYawStep;        // tenths of a degree, applied by the next camera step
    float orbitPitchStep;
    // Where the picture lies in the client area, in pixels from its top
    // left: the whole client, or, where the platform keeps the picture's
    // proportions, the part that has them (bands above and below).
    double pictureLeft;
    double pictureTop;
    double pictureWidth;
    double pictureHeight;
};

// The record as the program starts, base copies included.
ViewState InitialViewState();

extern ViewState viewState;

// The client area's size in pixels, as WM_SIZE gives it, and where the
// picture lies in it.
void SetClientSize(double width, double height);
// The near plane and the picking distance: their base values, or twice them
// while the magnifier is on.
void SetMagnified(bool magnified);
// The orbit steps back to zero, as every frame leaves them.
void ClearOrbitSteps();
// The camera as start-up places it: at the origin, looking along +z.
void PlaceCamera();

constexpr double PERSPECTIVE_FAR = 1000.0;
constexpr double ORTHOGRAPHIC_FAR = 1.0e8;

// Multiplies the current matrix by a view from the eye toward the centre with
// the given up direction: GLU's gluLookAt, float for float, on every GL the
// program runs on (a web GL has no GLU of its own).
void MultiplyLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                    double upY, double upZ);

void SetupPerspectiveProjection();
void SetupOrthographicProjection();
// The camera step: turns backPoint by the orbit steps and derives upVector.
void UpdateCamera();
// Pushes the modelview matrix and multiplies the camera's look-at onto it.
void ApplyCamera();
