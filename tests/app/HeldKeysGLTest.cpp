// Held keys: the flags that presses set and releases clear, and the camera moves the idle callback
// makes from them, scaled by the last frame's time.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/InputCallbacks.h"
#include "engine/scene/Camera.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/Expectations.h"

using kubora::test::expectNear;
using libkub::Vector3f;

namespace {

class HeldKeys : public testing::Test {
  protected:
    kubora::test::AssembledApplication application;
    libkub::Camera& camera() { return *application->camera; }

    // One idle call after a frame that took the given milliseconds.
    void idleAfterFrameOf(double milliseconds)
    {
        application->frameTime = milliseconds;
        Kubora::onIdle();
    }
};

} // namespace

// '+' pairs with '=', its unshifted key: a release after Shift was let go comes up as '='.
TEST_F(HeldKeys, PressesSetAndReleasesClearTheFlagsInBothCases)
{
    const struct {
        unsigned char lower;
        unsigned char upper;
        bool Kubora::Application::*flag;
    } keys[] = {{'a', 'A', &Kubora::Application::moveLeft}, {'d', 'D', &Kubora::Application::moveRight},
                {'w', 'W', &Kubora::Application::moveUp},   {'s', 'S', &Kubora::Application::moveDown},
                {'+', '=', &Kubora::Application::zoomIn},   {'-', '-', &Kubora::Application::zoomOut}};
    for (const auto& key : keys) {
        Kubora::onKeyDown(key.lower, 0, 0);
        EXPECT_TRUE((*application).*key.flag) << key.lower;
        Kubora::onKeyUp(key.upper, 0, 0);
        EXPECT_FALSE((*application).*key.flag) << key.upper;
        Kubora::onKeyDown(key.upper, 0, 0);
        EXPECT_TRUE((*application).*key.flag) << key.upper;
        Kubora::onKeyUp(key.lower, 0, 0);
        EXPECT_FALSE((*application).*key.flag) << key.lower;
    }
}

TEST_F(HeldKeys, OtherKeysSetNothingAndMoveNothing)
{
    const Vector3f eye = camera().eye;
    for (int key : {int{'x'}, int{'q'}, int{'_'}, int{'1'}, 200}) {
        Kubora::onKeyDown(static_cast<unsigned char>(key), 0, 0);
    }
    EXPECT_FALSE(application->moveLeft || application->moveRight || application->moveUp ||
                 application->moveDown || application->zoomIn || application->zoomOut);
    idleAfterFrameOf(16.0);
    EXPECT_EQ(camera().eye, eye);
}

TEST_F(HeldKeys, LeftAndRightTogetherCancel)
{
    const Vector3f eye = camera().eye;
    const Vector3f target = camera().target;
    Kubora::onKeyDown('a', 0, 0);
    Kubora::onKeyDown('D', 0, 0);
    idleAfterFrameOf(16.0);
    expectNear(camera().eye, eye, 1e-5f);
    expectNear(camera().target, target, 1e-5f);
}

TEST_F(HeldKeys, EachPanKeyMovesBothEyeAndTargetByTimeTimesATenth)
{
    const Vector3f view = camera().target - camera().eye;
    const struct {
        unsigned char key;
        Vector3f direction;
    } pans[] = {{'a', libkub::normalize(camera().rightAxis()) * -1.0f},
                {'d', libkub::normalize(camera().rightAxis())},
                {'w', libkub::normalize(camera().upAxis())},
                {'s', libkub::normalize(camera().upAxis()) * -1.0f}};
    for (const auto& pan : pans) {
        const Vector3f eye = camera().eye;
        Kubora::onKeyDown(pan.key, 0, 0);
        idleAfterFrameOf(20.0);
        Kubora::onKeyUp(pan.key, 0, 0);
        expectNear(camera().eye - eye, pan.direction * 2.0f, 1e-4f);
        expectNear(camera().target - camera().eye, view, 1e-4f);
    }
    // Released keys move nothing more.
    const Vector3f eye = camera().eye;
    idleAfterFrameOf(20.0);
    EXPECT_EQ(camera().eye, eye);
}

TEST_F(HeldKeys, PlusForOneFrameOfSixteenMillisecondsMovesPointTwelveOfTheDistance)
{
    const Vector3f eye = camera().eye;
    const Vector3f towardsTarget = libkub::normalize(camera().target - camera().eye);
    const float distance = camera().distance;
    Kubora::onKeyDown('+', 0, 0);
    idleAfterFrameOf(16.0);
    expectNear(camera().eye - eye, towardsTarget * (0.12f * distance), 1e-4f);

    Kubora::onKeyUp('+', 0, 0);
    Kubora::onKeyDown('-', 0, 0);
    idleAfterFrameOf(16.0);
    expectNear(camera().eye, eye, 1e-4f);
}

TEST_F(HeldKeys, RResetsTheViewAfterMoves)
{
    const Vector3f eye = camera().eye;
    Kubora::onKeyDown('w', 0, 0);
    Kubora::onKeyDown('+', 0, 0);
    idleAfterFrameOf(50.0);
    camera().orbit(0.4f, 0.2f);
    Kubora::onKeyDown('R', 0, 0);
    EXPECT_EQ(camera().eye, eye);
    Kubora::onKeyUp('w', 0, 0);
    Kubora::onKeyUp('+', 0, 0);
    camera().orbit(0.4f, 0.2f);
    Kubora::onKeyDown('r', 0, 0);
    EXPECT_EQ(camera().eye, eye);
}
