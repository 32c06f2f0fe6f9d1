// Camera: orbit representation from placeAt, pole crossings, pan/dolly/orbit moves, reset, and the GL
// matrices it loads.
#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "engine/scene/Camera.h"
#include "engine/math/Frustum.h"
#include "tests/support/Expectations.h"

using kubora::test::expectNear;
using libkub::Camera;
using libkub::Vector3f;

namespace {

constexpr float tolerance = 1e-4f;

Camera startCamera()
{
    return Camera({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, 4.0f / 3.0f,
                  45.0f);
}

std::array<double, 16> currentMatrix(GLenum which)
{
    std::array<double, 16> matrix{};
    glGetDoublev(which, matrix.data());
    return matrix;
}

std::array<double, 16> lookAtMatrix(const Camera& camera)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y, camera.target.z,
              camera.up.x, camera.up.y, camera.up.z);
    const auto matrix = currentMatrix(GL_MODELVIEW_MATRIX);
    glPopMatrix();
    return matrix;
}

// Where a world point lands in window coordinates under the camera's current matrices.
Vector3f project(Vector3f point)
{
    const auto modelView = currentMatrix(GL_MODELVIEW_MATRIX);
    const auto projection = currentMatrix(GL_PROJECTION_MATRIX);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    double x = 0.0, y = 0.0, z = 0.0;
    gluProject(point.x, point.y, point.z, modelView.data(), projection.data(), viewport, &x, &y, &z);
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

} // namespace

TEST(Camera, ConstructionDerivesOrbitFromEyeAndTarget)
{
    const Camera camera = startCamera();
    EXPECT_NEAR(camera.distance, std::sqrt(137.0f), tolerance);
    EXPECT_NEAR(camera.distance, 11.7047f, tolerance);
    EXPECT_NEAR(camera.theta, 1.31160f, tolerance);
    EXPECT_NEAR(camera.phi, -2.35619f, tolerance);
    EXPECT_EQ(camera.up, (Vector3f{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(camera.savedEye, (Vector3f{-10.0f, 8.0f, -10.0f}));
    EXPECT_EQ(camera.savedTarget, (Vector3f{-2.0f, 5.0f, -2.0f}));
}

TEST(Camera, ConstructionLoadsProjectionAndViewAndSetsTheFrustum)
{
    const Camera camera = startCamera();

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 90.0);
    const auto expectedProjection = currentMatrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    const auto projection = currentMatrix(GL_PROJECTION_MATRIX);
    const auto view = currentMatrix(GL_MODELVIEW_MATRIX);
    const auto expectedView = lookAtMatrix(camera);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(projection[i], expectedProjection[i], 1e-5) << "projection element " << i;
        EXPECT_NEAR(view[i], expectedView[i], 1e-5) << "view element " << i;
    }
    EXPECT_EQ(camera.frustum->nearDistance, 1.0f);
    EXPECT_EQ(camera.frustum->farDistance, 90.0f);
    // The frustum follows the pose: the target lies in front of the near plane.
    EXPECT_GT(camera.frustum->planes[libkub::Frustum::Near].distance(camera.target), 0.0f);
}

TEST(Camera, PlaceAtWithEyeOnTargetLooksDownMinusZFromOneUnit)
{
    Camera camera = startCamera();
    camera.placeAt({3.0f, 3.0f, 3.0f}, {3.0f, 3.0f, 3.0f});
    EXPECT_EQ(camera.eye, (Vector3f{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(camera.target, (Vector3f{0.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(camera.distance, 1.0f);
    EXPECT_NEAR(camera.theta, 1.5707963f, tolerance);
    EXPECT_FLOAT_EQ(camera.phi, 0.0f);
}

TEST(Camera, PlaceAtSubstitutesZeroDepthInTheAzimuth)
{
    Camera camera = startCamera();
    camera.placeAt({1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
    EXPECT_NEAR(camera.phi, 1.47113f, tolerance);
    EXPECT_NEAR(camera.theta, 1.5707963f, tolerance);
}

TEST(Camera, PlaceAtSetsUpYToOneAndKeepsUpXAndZ)
{
    Camera camera = startCamera();
    camera.up = {0.25f, -1.0f, 0.5f};
    camera.placeAt({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(camera.up, (Vector3f{0.25f, 1.0f, 0.5f}));
}

TEST(Camera, CrossingTheBottomPoleNegatesUpEachWay)
{
    Camera camera = startCamera();
    camera.theta = 3.0f;
    camera.orbit(0.0f, -0.2f);
    EXPECT_NEAR(camera.theta, 3.2f, tolerance);
    EXPECT_EQ(camera.up, (Vector3f{-0.0f, -1.0f, -0.0f}));
    camera.orbit(0.0f, 0.2f);
    EXPECT_NEAR(camera.theta, 3.0f, tolerance);
    EXPECT_EQ(camera.up, (Vector3f{0.0f, 1.0f, 0.0f}));
}

TEST(Camera, CrossingAFullTurnWrapsThetaAndNegatesUp)
{
    Camera camera = startCamera();
    camera.theta = 6.2f;
    camera.orbit(0.0f, -0.2f);
    EXPECT_NEAR(camera.theta, 0.1168f, 1e-3f);
    EXPECT_NEAR(camera.theta, 6.4f - 6.28318f, tolerance);
    EXPECT_FLOAT_EQ(camera.up.y, -1.0f);
}

TEST(Camera, CrossingTheTopPoleWrapsThetaUpAndNegatesUp)
{
    Camera camera = startCamera();
    camera.theta = 0.1f;
    camera.orbit(0.0f, 0.2f);
    EXPECT_NEAR(camera.theta, -0.1f + 6.28318f, tolerance);
    EXPECT_FLOAT_EQ(camera.up.y, -1.0f);
    // The eye went over the top: it is still above the target, now on the other side.
    EXPECT_GT(camera.eye.y, camera.target.y);
}

TEST(Camera, OrbitKeepsTheInvariantAndTheTarget)
{
    Camera camera = startCamera();
    const Vector3f target = camera.target;
    camera.orbit(0.7f, -0.3f);
    EXPECT_EQ(camera.target, target);
    EXPECT_NEAR((camera.eye - camera.target).length(), camera.distance, tolerance);
    const Vector3f d{std::sin(camera.theta) * std::sin(camera.phi), std::cos(camera.theta),
                     std::cos(camera.phi) * std::sin(camera.theta)};
    expectNear(camera.eye, target + d * camera.distance);
}

TEST(Camera, AzimuthWrapsOnlyWhenCrossingZeroFromAbove)
{
    Camera camera = startCamera();
    camera.phi = 0.1f;
    camera.orbit(0.3f, 0.0f);
    EXPECT_NEAR(camera.phi, -0.2f + 6.28318f, tolerance);

    // Already negative: further decreases are not wrapped.
    camera.phi = -2.0f;
    camera.orbit(0.5f, 0.0f);
    EXPECT_NEAR(camera.phi, -2.5f, tolerance);

    camera.phi = 6.2f;
    camera.orbit(-0.2f, 0.0f);
    EXPECT_NEAR(camera.phi, 6.4f - 6.28318f, tolerance);
}

TEST(Camera, UpsideDownAzimuthTurnsTheOtherWayAndLevelUpDoesNotTurn)
{
    Camera camera = startCamera();
    camera.up = {0.0f, -1.0f, 0.0f};
    camera.phi = 1.0f;
    camera.orbit(0.5f, 0.0f);
    EXPECT_NEAR(camera.phi, 1.5f, tolerance);

    camera.up = {1.0f, 0.0f, 0.0f};
    camera.eye = {100.0f, 100.0f, 100.0f};
    camera.orbit(0.5f, 0.0f);
    EXPECT_NEAR(camera.phi, 1.5f, tolerance);
    // The eye is still recomputed from the angles.
    EXPECT_NEAR((camera.eye - camera.target).length(), camera.distance, tolerance);
}

TEST(Camera, ZeroMovesStillReloadTheView)
{
    Camera camera = startCamera();
    for (auto move : {+[](Camera& c) { c.pan(0.0f, 0.0f); }, +[](Camera& c) { c.orbit(0.0f, 0.0f); }}) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        move(camera);
        const auto view = currentMatrix(GL_MODELVIEW_MATRIX);
        const auto expected = lookAtMatrix(camera);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(view[i], expected[i], 1e-5);
        }
    }
}

TEST(Camera, PositivePanMovesTheViewLeftAndUp)
{
    glViewport(0, 0, 320, 240);
    Camera camera = startCamera();
    const Vector3f eye = camera.eye;
    const Vector3f target = camera.target;
    camera.pan(2.0f, 0.0f);
    EXPECT_NEAR((camera.eye - eye).length(), 2.0f, tolerance);
    expectNear(camera.eye - eye, camera.target - target);
    // The old target now lies right of the screen centre: the view moved left.
    EXPECT_GT(project(target).x, 160.0f + 1.0f);
    EXPECT_NEAR(project(target).y, 120.0f, 0.5f);

    const Vector3f panned = camera.target;
    camera.pan(0.0f, 2.0f);
    EXPECT_NEAR((camera.target - panned).length(), 2.0f, tolerance);
    // The view moved up: the old target now lies below the centre (GL rows count upwards).
    EXPECT_LT(project(panned).y, 120.0f - 1.0f);
}

TEST(Camera, DollyOneMovesTheEyeOntoTheOldTarget)
{
    Camera camera = startCamera();
    const Vector3f target = camera.target;
    const float distance = camera.distance;
    camera.dolly(1.0f);
    expectNear(camera.eye, target);
    EXPECT_EQ(camera.distance, distance);
}

TEST(Camera, DollyForSixteenMillisecondsOfZoomMovesPointTwelveOfTheDistance)
{
    Camera camera = startCamera();
    const Vector3f eye = camera.eye;
    camera.dolly(16.0f * 0.1f * 0.075f);
    EXPECT_NEAR((camera.eye - eye).length(), 0.12f * camera.distance, tolerance);
    EXPECT_NEAR((camera.eye - camera.target).length(), camera.distance, tolerance);
}

TEST(Camera, ResetViewRestoresTheStartAndOrbitContinuesFromIt)
{
    Camera reference = startCamera();
    Camera camera = startCamera();
    camera.orbit(1.2f, 0.4f);
    camera.theta = 3.0f;
    camera.orbit(0.0f, -0.5f); // upside down
    camera.dolly(0.3f);
    camera.pan(1.0f, -2.0f);
    camera.resetView();

    EXPECT_EQ(camera.eye, reference.eye);
    EXPECT_EQ(camera.target, reference.target);
    EXPECT_EQ(camera.up, reference.up);
    EXPECT_EQ(camera.theta, reference.theta);
    EXPECT_EQ(camera.phi, reference.phi);
    EXPECT_EQ(camera.distance, reference.distance);

    camera.orbit(0.25f, 0.1f);
    reference.orbit(0.25f, 0.1f);
    expectNear(camera.eye, reference.eye);
}

TEST(Camera, AxesArePerpendicularToTheViewAndRightHanded)
{
    const Camera camera = startCamera();
    const Vector3f back = camera.eye - camera.target;
    const Vector3f right = camera.rightAxis();
    const Vector3f up = camera.upAxis();
    EXPECT_NEAR(libkub::dot(right, back), 0.0f, 1e-3f);
    EXPECT_NEAR(libkub::dot(up, back), 0.0f, 1e-3f);
    EXPECT_NEAR(libkub::dot(up, right), 0.0f, 1e-2f);
    EXPECT_GT(up.y, 0.0f);
    // right x up points back towards the eye.
    EXPECT_GT(libkub::dot(libkub::cross(right, up), back), 0.0f);
}
