// Scene assembly's first pick ray, the display callback (frame time, next pick ray, GL error lines)
// and the reshape callback (viewport, aspect, a window without height).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/GlErrorReport.h"
#include "app/PerformanceCounter.h"
#include "engine/scene/Camera.h"
#include "engine/math/Frustum.h"
#include "engine/render/SceneRenderer.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"

using libkub::Vector3f;

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

float degreesBetween(Vector3f a, Vector3f b)
{
    const float cosine = libkub::dot(libkub::normalize(a), libkub::normalize(b));
    return std::acos(std::fmin(1.0f, cosine)) * 180.0f / 3.14159265f;
}

std::array<GLint, 4> currentViewport()
{
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

} // namespace

TEST(SceneAssembly, WiresRendererCameraPickRayAndTimer)
{
    kubora::test::AssembledApplication application;
    EXPECT_EQ(application->pointerX, 0);
    EXPECT_EQ(application->pointerY, 0);
    ASSERT_NE(application->renderer, nullptr);
    EXPECT_EQ(application->renderer->camera, application->camera.get());
    EXPECT_EQ(application->renderer->pickRay, application->pickRay.get());
    ASSERT_NE(application->frameTimer, nullptr);
    EXPECT_EQ(application->frameTimer->frequency, Kubora::performanceFrequency());
}

TEST(SceneAssembly, FirstPickRayRunsThroughTheTopLeftCorner)
{
    kubora::test::AssembledApplication application;
    const libkub::Camera& camera = *application->camera;
    const Vector3f direction = application->pickRay->direction;
    EXPECT_NEAR(direction.length(), 1.0f, 1e-5f);
    EXPECT_GT(libkub::dot(direction, camera.upAxis()), 0.0f);
    EXPECT_LT(libkub::dot(direction, camera.rightAxis()), 0.0f);
    // The corner of the view: half the diagonal field of view away from the view direction.
    const double halfHeight = std::tan(22.5 * 3.141592653589793 / 180.0);
    const double halfDiagonal = std::atan(halfHeight * std::sqrt(1.0 + camera.aspect * camera.aspect));
    EXPECT_NEAR(degreesBetween(direction, camera.target - camera.eye),
                halfDiagonal * 180.0 / 3.141592653589793, 0.05);
}

TEST(DisplayCallback, TimesTheFrameAndAimsTheNextPickRayAtThePointer)
{
    kubora::test::AssembledApplication application;
    application->pointerX = width / 2;
    application->pointerY = height / 2;
    Kubora::onDisplay();
    EXPECT_GT(application->frameTime, 0.0);
    EXPECT_LT(application->frameTime, 60'000.0);
    EXPECT_GT(application->frameTimer->endCount, application->frameTimer->startCount);
    const libkub::Camera& camera = *application->camera;
    EXPECT_LT(degreesBetween(application->pickRay->direction, camera.target - camera.eye), 0.3f);
}

TEST(DisplayCallback, PrintsEachPendingGlErrorOnceThenNothing)
{
    kubora::test::AssembledApplication application;
    Kubora::onDisplay();
    glEnable(0x7fff); // not a capability: GL_INVALID_ENUM
    testing::internal::CaptureStdout();
    Kubora::onDisplay();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "invalid enumerant caught at .\\Program:285\n");
    testing::internal::CaptureStdout();
    Kubora::onDisplay();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(GlErrorLine, NamesTheErrorTheSourceAndTheLine)
{
    EXPECT_EQ(Kubora::glErrorLine(GL_INVALID_VALUE), "invalid value caught at .\\Program:285\n");
    EXPECT_EQ(Kubora::glErrorLine(GL_OUT_OF_MEMORY), "out of memory caught at .\\Program:285\n");
    EXPECT_EQ(Kubora::glErrorLine(GL_INVALID_FRAMEBUFFER_OPERATION),
              "invalid framebuffer operation caught at .\\Program:285\n");
    EXPECT_EQ(Kubora::glErrorLine(0x1234), "unknown error 0x1234 caught at .\\Program:285\n");
}

TEST(ReshapeCallback, SetsViewportAspectAndProjection)
{
    kubora::test::AssembledApplication application;
    libkub::Camera& camera = *application->camera;
    Kubora::onReshape(200, 50);
    EXPECT_EQ(camera.viewportWidth, 200);
    EXPECT_EQ(camera.viewportHeight, 50);
    EXPECT_EQ(camera.aspect, 4.0f);
    EXPECT_EQ(camera.frustum->aspect, 4.0f);
    EXPECT_EQ(currentViewport(), (std::array<GLint, 4>{0, 0, 200, 50}));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective: x scale = y scale / aspect.
    EXPECT_NEAR(projection[0] * 4.0f, projection[5], 1e-5f);
}

TEST(ReshapeCallback, WindowWithoutHeightKeepsThePreviousAspect)
{
    kubora::test::AssembledApplication application;
    libkub::Camera& camera = *application->camera;
    Kubora::onReshape(300, 100);
    Kubora::onReshape(300, 0);
    EXPECT_EQ(camera.aspect, 3.0f);
    EXPECT_EQ(camera.viewportHeight, 0);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_TRUE(std::isfinite(projection[0]));
    EXPECT_NEAR(projection[0] * 3.0f, projection[5], 1e-5f);
}
