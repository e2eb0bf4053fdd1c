#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/app_window.h"
#include "render/view.h"
#include "tests/support/program.h"

namespace {

class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        viewState = InitialViewState();
        viewState.eyePoint = Vec3f{0.0f, 0.0f, 0.0f};
        viewState.backPoint = Vec3f{0.0f, 0.0f, 1.0f};
    }
};

TEST_F(Camera, StartPoseIsKeptBitForBitOverManySteps) {
    for (int step = 0; step < 10000; ++step) UpdateCamera();
    EXPECT_EQ(viewState.backPoint.x, 0.0f);
    EXPECT_EQ(viewState.backPoint.y, 0.0f);
    EXPECT_EQ(viewState.backPoint.z, 1.0f);
    EXPECT_FALSE(std::signbit(viewState.backPoint.x));
    EXPECT_EQ(viewState.headingDegrees, 0.0f);
    // The quarter turn with the short pi is not exact.
    EXPECT_EQ(viewState.upVector.x, 0.0f);
    EXPECT_EQ(viewState.upVector.y, 1.0f);
    EXPECT_EQ(viewState.upVector.z, 2.6794897e-08f);  // 2.68e-8
}

TEST_F(Camera, YawAndPitchStepsTurnTheDirection) {
    viewState.orbitYawStep = 900.0f;  // tenths of a degree; -90 degrees about y
    UpdateCamera();
    EXPECT_FLOAT_EQ(viewState.backPoint.x, 1.0f);
    EXPECT_NEAR(viewState.backPoint.z, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(viewState.headingDegrees, 90.0f);
    EXPECT_NEAR(viewState.upVector.x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(viewState.upVector.y, 1.0f);

    SetUp();
    viewState.orbitPitchStep = 450.0f;  // -45 degrees: the direction tips downward
    UpdateCamera();
    EXPECT_FLOAT_EQ(viewState.backPoint.y, static_cast<float>(-std::sin(0.25 * 3.1415926)));
    EXPECT_FLOAT_EQ(viewState.backPoint.z, static_cast<float>(std::cos(0.25 * 3.1415926)));
    // The up vector is perpendicular to the direction, as long, never downward.
    const double dot = viewState.upVector.y * viewState.backPoint.y + viewState.upVector.z * viewState.backPoint.z;
    EXPECT_NEAR(dot, 0.0, 1e-6);
    EXPECT_GT(viewState.upVector.y, 0.0f);
}

TEST_F(Camera, NegativeZeroDirectionKeepsAPositiveHeading) {
    viewState.backPoint = Vec3f{-0.0f, 0.0f, 1.0f};
    UpdateCamera();
    EXPECT_EQ(viewState.headingDegrees, 0.0f);
    EXPECT_FALSE(std::signbit(viewState.headingDegrees));
}

// The projections need a GL context; the headless backend gives one.
class Projections : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        HeadlessSetScreenSize(640, 480);
        ASSERT_TRUE(CreateMainWindow());
    }
    void TearDown() override { ResetProgramState(); }

    // Normalised device coordinates of a point under the current projection
    // and modelview matrices.
    static void Project(double x, double y, double z, double* ndcX, double* ndcY) {
        double projection[16];
        double modelview[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        const double in[4] = {x, y, z, 1.0};
        double eye[4] = {0, 0, 0, 0};
        double clip[4] = {0, 0, 0, 0};
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) eye[row] += modelview[col * 4 + row] * in[col];
        }
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) clip[row] += projection[col * 4 + row] * eye[col];
        }
        *ndcX = clip[0] / clip[3];
        *ndcY = clip[1] / clip[3];
    }
};

TEST_F(Projections, PerspectiveMapsTheViewWindowToTheClientArea) {
    EXPECT_EQ(viewState.clientWidth, 640.0);
    EXPECT_EQ(viewState.clientHeight, 480.0);
    SetupPerspectiveProjection();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    double x = 0;
    double y = 0;
    Project(0.4, 0.33, 0.58, &x, &y);
    EXPECT_NEAR(x, 1.0, 1e-5);
    EXPECT_NEAR(y, 1.0, 1e-5);
    Project(-0.4, 0.0, 0.58, &x, &y);
    EXPECT_NEAR(x, -1.0, 1e-5);
    EXPECT_NEAR(y, 0.0, 1e-6);
}

TEST_F(Projections, OrthographicShowsAFixedWindowWhateverTheAspect) {
    viewState.clientWidth = 300.0;
    viewState.clientHeight = 700.0;
    SetupOrthographicProjection();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    double x = 0;
    double y = 0;
    Project(0.12, 0.1, 1.0, &x, &y);
    EXPECT_NEAR(x, 1.0, 1e-6);
    EXPECT_NEAR(y, 1.0, 1e-6);
    Project(-0.12, -0.1, 1.0, &x, &y);
    EXPECT_NEAR(x, -1.0, 1e-6);
    EXPECT_NEAR(y, -1.0, 1e-6);
}

// The program's own look-at (the web has no GLU) gives GLU's matrix exactly.
TEST_F(Projections, LookAtIsGlusFloatForFloat) {
    const double views[][9] = {{0, 0, 0, 0, 0, 1, 0, 1, 0},
                               {0, 0, 0, 0, 0, 100, 0, 1, 0},
                               {0, 0, 0, 0, 0, -1, 0, 1, 2.6794897e-08},
                               {1.5, -2, 3, 0.25, 7, -9, 0.3, 1, -0.2}};
    glMatrixMode(GL_MODELVIEW);
    for (const auto& v : views) {
        GLfloat glu[16];
        GLfloat ours[16];
        glLoadIdentity();
        gluLookAt(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
        glGetFloatv(GL_MODELVIEW_MATRIX, glu);
        glLoadIdentity();
        MultiplyLookAt(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
        glGetFloatv(GL_MODELVIEW_MATRIX, ours);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(ours[i], glu[i]) << "view " << v[3] << ", element " << i;
    }
}

TEST_F(Projections, CameraAtItsStartPoseLeavesTheModelviewIdentity) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    viewState.eyePoint = Vec3f{0.0f, 0.0f, 0.0f};
    viewState.backPoint = Vec3f{0.0f, 0.0f, 1.0f};
    UpdateCamera();
    ApplyCamera();
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(modelview[i], (i % 5 == 0) ? 1.0 : 0.0, 1e-12) << "element " << i;
}

}  // namespace
