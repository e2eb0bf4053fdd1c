#include "render/view.h"

#include <GL/gl.h>

#include <cmath>

#include "platform/platform.h"

ViewState InitialViewState() {
    ViewState view{};
    view.clientWidth = 640.0;
    view.clientHeight = 480.0;
    view.frustumHalfWidth = 0.004f;
    view.frustumHalfHeight = 0.0033f;
    view.nearPlane = 0.0058f;
    view.pickHalfWidth = 0.0048f;
    view.pickHalfHeight = 0.00396f;
    view.pickDistance = 0.00696f;
    view.baseNearPlane = view.nearPlane;
    view.basePickDistance = view.pickDistance;
    view.pictureWidth = view.clientWidth;
    view.pictureHeight = view.clientHeight;
    return view;
}

ViewState viewState = InitialViewState();

void SetClientSize(double width, double height) {
    viewState.clientWidth = width;
    viewState.clientHeight = height;
    viewState.pictureLeft = 0.0;
    viewState.pictureTop = 0.0;
    viewState.pictureWidth = width;
    viewState.pictureHeight = height;
    // A client taller than the view's window is wide (a phone held upright)
    // would stretch the rules upward: the picture keeps the view's
    // proportions across the client's width, centred, where the platform
    // asks for it. Wider clients are filled, as the desktop's screen is.
    const double proportions = static_cast<double>(viewState.frustumHalfWidth) / viewState.frustumHalfHeight;
    if (PlatformKeepsProportions() && width > 0.0 && height > 0.0 && width / height < proportions) {
        viewState.pictureHeight = std::round(width / proportions);
        viewState.pictureTop = std::floor((height - viewState.pictureHeight) / 2.0);
    }
}

namespace {

// The GL viewport of the picture: from the client's bottom left.
void PictureViewport() {
    const double bottom = viewState.clientHeight - viewState.pictureTop - viewState.pictureHeight;
    glViewport(static_cast<GLint>(viewState.pictureLeft), static_cast<GLint>(bottom),
               static_cast<GLsizei>(viewState.pictureWidth), static_cast<GLsizei>(viewState.pictureHeight));
}

}  // namespace

void SetMagnified(bool magnified) {
    viewState.nearPlane = viewState.baseNearPlane;
    viewState.pickDistance = viewState.basePickDistance;
    if (magnified) {
        viewState.nearPlane = 2.0f * viewState.nearPlane;
        viewState.pickDistance = 2.0f * viewState.pickDistance;
    }
}

void ClearOrbitSteps() {
    viewState.orbitYawStep = 0.0f;
    viewState.orbitPitchStep = 0.0f;
}

void PlaceCamera() {
    viewState.eyePoint = Vec3f{0.0f, 0.0f, 0.0f};
    viewState.backPoint = Vec3f{0.0f, 0.0f, 1.0f};
}

namespace {

void Normalize(float v[3]) {
    const float length = static_cast<float>(std::sqrt(static_cast<double>(v[0] * v[0] + v[1] * v[1] + v[2] * v[2])));
    if (length == 0.0f) return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void MultiplyLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX,
                    double upY, double upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    Normalize(forward);
    float side[3];
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, up);
    // Column-major: the rows of the rotation are side, up and -forward.
    const GLfloat m[16] = {side[0], up[0], -forward[0], 0.0f, side[1], up[1], -forward[1], 0.0f,
                           side[2], up[2], -forward[2], 0.0f, 0.0f,    0.0f,  0.0f,        1.0f};
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

void SetupPerspectiveProjection() {
    glEnable(GL_DEPTH_TEST);
    PictureViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Left is the positive extent: the look-at toward +z mirrors x, and the
    // swapped extents mirror it back, so +x is to the right on screen.
    glFrustum(viewState.frustumHalfWidth, -viewState.frustumHalfWidth, -viewState.frustumHalfHeight,
              viewState.frustumHalfHeight, viewState.nearPlane, PERSPECTIVE_FAR);
    MultiplyLookAt(0, 0, 0, 0, 0, 1, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
}

void SetupOrthographicProjection() {
    glDisable(GL_DEPTH_TEST);
    PictureViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.12, -0.12, -0.1, 0.1, viewState.nearPlane, ORTHOGRAPHIC_FAR);
    MultiplyLookAt(0, 0, 0, 0, 0, 100, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
}

namespace {

// Heading of the horizontal direction (dx, dz) in degrees from +z toward +x,
// with the cosine clamped against rounding.
double HeadingOf(float dx, float dz) {
    const double r = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dz) * dz);
    double q = dz / r;
    if (q < -1.0) q = -1.0;
    if (q > 1.0) q = 1.0;
    double h = RadiansToDegrees(std::acos(q));
    if (dx < 0.0f) h = -h;
    return h;
}

}  // namespace

void UpdateCamera() {
    ViewState& v = viewState;
    const Vec3f e = v.eyePoint;

    // 1. Yaw: turn the direction about the vertical axis.
    const double a = DegreesToRadians(-0.1 * v.orbitYawStep);
    const double dx0 = static_cast<double>(v.backPoint.x) - e.x;
    const double dy0 = static_cast<double>(v.backPoint.y) - e.y;
    const double dz0 = static_cast<double>(v.backPoint.z) - e.z;
    const double dxYawed = dx0 * std::cos(a) - dz0 * std::sin(a);
    const double dzYawed = dx0 * std::sin(a) + dz0 * std::cos(a);
    v.backPoint.x = static_cast<float>(e.x + dxYawed);
    v.backPoint.y = static_cast<float>(e.y + dy0);

    // 2. Heading of the yawed direction.
    const float dx = static_cast<float>(v.backPoint.x - e.x);
    const float dz = static_cast<float>(dzYawed);
    const float dy = static_cast<float>(v.backPoint.y - e.y);
    v.headingDegrees = static_cast<float>(HeadingOf(dx, dz));

    // 3. Into the heading frame.
    double t = DegreesToRadians(v.headingDegrees);
    const double x2 = dx * std::cos(t) - dz * std::sin(t);
    const double z2 = dx * std::sin(t) + dz * std::cos(t);

    // 4. Pitch.
    const double p = DegreesToRadians(-0.1 * v.orbitPitchStep);
    const double z3 = z2 * std::cos(p) - dy * std::sin(p);
    const double y3 = z2 * std::sin(p) + dy * std::cos(p);

    // 5. Back out of the heading frame.
    const double x4 = x2 * std::cos(-t) - z3 * std::sin(-t);
    const double z4 = x2 * std::sin(-t) + z3 * std::cos(-t);
    v.backPoint = Vec3f{static_cast<float>(e.x + x4), static_cast<float>(e.y + y3), static_cast<float>(e.z + z4)};

    // 6. Up vector: the direction turned a quarter turn upward in its own
    // vertical plane. With PI_APPROX the quarter turn leaves a small z.
    const float ux = v.backPoint.x - e.x;
    const float uy = v.backPoint.y - e.y;
    const float uz = v.backPoint.z - e.z;
    v.headingDegrees = static_cast<float>(HeadingOf(ux, uz));
    t = DegreesToRadians(v.headingDegrees);
    const double x5 = ux * std::cos(t) - uz * std::sin(t);
    const double z5 = ux * std::sin(t) + uz * std::cos(t);
    const double quarter = PI_APPROX * 0.5;
    const double zu = z5 * std::cos(quarter) - uy * std::sin(quarter);
    const double yu = z5 * std::sin(quarter) + uy * std::cos(quarter);
    v.upVector = Vec3f{static_cast<float>(x5 * std::cos(-t) - zu * std::sin(-t)), static_cast<float>(yu),
                       static_cast<float>(x5 * std::sin(-t) + zu * std::cos(-t))};
}

void ApplyCamera() {
    const ViewState& v = viewState;
    glPushMatrix();
    const double centreX = 2.0 * v.eyePoint.x - v.backPoint.x;
    const double centreY = 2.0 * v.eyePoint.y - v.backPoint.y;
    const double centreZ = 2.0 * v.eyePoint.z - v.backPoint.z;
    MultiplyLookAt(v.eyePoint.x, v.eyePoint.y, v.eyePoint.z, centreX, centreY, centreZ, v.upVector.x, v.upVector.y,
              v.upVector.z);
}
