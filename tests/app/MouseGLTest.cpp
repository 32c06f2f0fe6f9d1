// The mouse: button state and pointer position, the right-button drag that orbits, and the hovered
// object taken from the pick test, kept when the pointer leaves it.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/InputCallbacks.h"
#include "engine/scene/Camera.h"
#include "engine/render/SceneRenderer.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/SelectableBox.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

class Mouse : public testing::Test {
  protected:
    void SetUp() override { Kubora::onReshape(width, height); }

    kubora::test::AssembledApplication application;
    libkub::Camera& camera() { return *application->camera; }
};

} // namespace

TEST_F(Mouse, PressStoresButtonPositionAndFlagReleaseClearsTheFlag)
{
    Kubora::onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 30, 40);
    EXPECT_EQ(application->mouseButton, GLUT_MIDDLE_BUTTON);
    EXPECT_TRUE(application->buttonDown);
    EXPECT_EQ(application->pointerX, 30);
    EXPECT_EQ(application->pointerY, 40);
    Kubora::onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, 50, 60);
    EXPECT_FALSE(application->buttonDown);
    // A release does not move the stored pointer.
    EXPECT_EQ(application->pointerX, 30);
    EXPECT_EQ(application->pointerY, 40);
}

TEST_F(Mouse, RightDragAcrossTheWholeWidthTurnsTheAzimuthOnceAround)
{
    const float phi = camera().phi;
    const float theta = camera().theta;
    const libkub::Vector3f eye = camera().eye;
    Kubora::onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 50);
    Kubora::onMouseDrag(10 + width, 50);
    EXPECT_NEAR(camera().phi, phi - 6.28318f, 1e-5f);
    EXPECT_EQ(camera().theta, theta);
    EXPECT_NEAR((camera().eye - eye).length(), 0.0f, 1e-3f);
    EXPECT_EQ(application->pointerX, 10 + width);
}

TEST_F(Mouse, RightDragAcrossHalfTheHeightTurnsAQuarterUpOrDown)
{
    const float theta = camera().theta;
    Kubora::onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 200);
    Kubora::onMouseDrag(100, 200 - height / 2);
    EXPECT_NEAR(camera().theta, theta + 3.14159f / 2.0f, 1e-5f);
}

TEST_F(Mouse, DragStartsFromThePressPositionAndContinuesFromEachMove)
{
    const float phi = camera().phi;
    Kubora::onPointerMove(300, 10); // passive moves before the press do not count
    Kubora::onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 100);
    Kubora::onMouseDrag(116, 100);
    Kubora::onMouseDrag(132, 100);
    EXPECT_NEAR(camera().phi, phi - 32.0f * 6.28318f / width, 1e-5f);
}

TEST_F(Mouse, OtherButtonsDragWithoutTurning)
{
    const libkub::Vector3f eye = camera().eye;
    for (int button : {GLUT_LEFT_BUTTON, GLUT_MIDDLE_BUTTON}) {
        Kubora::onMouseButton(button, GLUT_DOWN, 100, 100);
        Kubora::onMouseDrag(200, 150);
        EXPECT_EQ(camera().eye, eye);
        EXPECT_EQ(application->pointerX, 200);
        EXPECT_EQ(application->pointerY, 150);
        Kubora::onMouseButton(button, GLUT_UP, 200, 150);
    }
}

TEST_F(Mouse, WithoutViewportHeightADragDoesNotTurn)
{
    Kubora::onReshape(width, 0);
    const libkub::Vector3f eye = camera().eye;
    Kubora::onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 100);
    Kubora::onMouseDrag(150, 130);
    EXPECT_EQ(camera().eye, eye);
    EXPECT_EQ(application->pointerX, 150);
}

TEST_F(Mouse, HoveredObjectIsTheLastPickAndStaysWhenThePointerLeavesIt)
{
    // A box round the point the camera looks at, added last so that it wins over anything behind it.
    kubora::test::SelectableBox box(camera().target, {1.0f, 1.0f, 1.0f});
    application->renderer->selectables.push_back(&box);

    Kubora::onPointerMove(width / 2, height / 2);
    Kubora::onDisplay(); // computes the ray under the pointer
    Kubora::onDisplay(); // picks with it
    Kubora::onPointerMove(width / 2 + 1, height / 2);
    EXPECT_EQ(application->hoveredObject, &box);
    EXPECT_EQ(application->renderer->pickRay, application->pickRay.get());

    // Up into the empty sky: nothing is hit, the last pick stays.
    Kubora::onPointerMove(0, 0);
    Kubora::onDisplay();
    Kubora::onDisplay();
    Kubora::onPointerMove(1, 0);
    EXPECT_EQ(application->hoveredObject, &box);

    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 1, 0);
    EXPECT_EQ(application->renderer->pickedObject, &box);
    application->renderer->selectables.pop_back();
}
