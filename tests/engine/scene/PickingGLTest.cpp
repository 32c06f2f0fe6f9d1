// The pick ray from the pointer (through the screen centre along the view, window row 0 at the top edge,
// a ray kept when the matrices cannot be inverted) and the renderer's pick test over its selectables.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/scene/Camera.h"
#include "engine/math/Picking.h"
#include "engine/scene/PickRay.h"
#include "engine/render/SceneRenderer.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/SelectableBox.h"

using libkub::Camera;
using libkub::Ray;
using libkub::Vector3f;

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

Camera viewportCamera()
{
    glViewport(0, 0, width, height);
    return Camera({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f,
                  static_cast<float>(width) / static_cast<float>(height), 45.0f);
}

float degreesBetween(Vector3f a, Vector3f b)
{
    const float cosine = libkub::dot(libkub::normalize(a), libkub::normalize(b));
    return std::acos(std::fmin(1.0f, cosine)) * 180.0f / 3.14159265f;
}

} // namespace

TEST(UpdatePickRay, CentreOfTheWindowLooksAlongTheViewFromTheNearPlane)
{
    const Camera camera = viewportCamera();
    Ray ray;
    libkub::updatePickRay(height, ray, width / 2, height / 2);
    const Vector3f view = libkub::normalize(camera.target - camera.eye);
    EXPECT_NEAR(ray.direction.length(), 1.0f, 1e-5f);
    EXPECT_LT(degreesBetween(ray.direction, view), 0.05f);
    EXPECT_NEAR((ray.origin - camera.eye).length(), camera.nearPlane, 1e-3f);
    EXPECT_TRUE(libkub::rayHitsBox(ray,
                                   {camera.target - Vector3f{0.1f, 0.1f, 0.1f},
                                    camera.target + Vector3f{0.1f, 0.1f, 0.1f},
                                    camera.target,
                                    {}},
                                   -100.0f, 100.0f));
}

TEST(UpdatePickRay, RowZeroIsTheTopEdgeOfTheWindow)
{
    const Camera camera = viewportCamera();
    Ray ray;
    libkub::updatePickRay(height, ray, width / 2, 0);
    const Vector3f view = camera.target - camera.eye;
    // The top edge lies half the vertical field of view above the view direction (not one row lower).
    EXPECT_NEAR(degreesBetween(ray.direction, view), 22.5f, 0.01f);
    EXPECT_GT(libkub::dot(ray.direction, camera.upAxis()), 0.0f);

    Ray bottom;
    libkub::updatePickRay(height, bottom, width / 2, height);
    EXPECT_NEAR(degreesBetween(bottom.direction, view), 22.5f, 0.01f);
    EXPECT_LT(libkub::dot(bottom.direction, camera.upAxis()), 0.0f);
}

TEST(UpdatePickRay, SingularMatricesKeepTheLastRay)
{
    [[maybe_unused]] const Camera camera = viewportCamera();
    Ray ray;
    libkub::updatePickRay(height, ray, 10, 20);
    const Ray before = ray;
    glMatrixMode(GL_PROJECTION);
    const GLfloat zero[16] = {};
    glLoadMatrixf(zero);
    libkub::updatePickRay(height, ray, 200, 100);
    EXPECT_EQ(ray.origin, before.origin);
    EXPECT_EQ(ray.direction, before.direction);
}

namespace {

// A ray along -z from the origin, and boxes on it at the given distances.
const Ray alongMinusZ{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}};

kubora::test::SelectableBox boxAt(float distance)
{
    return kubora::test::SelectableBox({0.0f, 0.0f, -distance}, {2.0f, 0.4f, 2.0f});
}

} // namespace

TEST(PickTest, NearestHitWinsWhateverTheListOrder)
{
    libkub::SceneRenderer renderer(nullptr);
    Ray ray = alongMinusZ;
    renderer.pickRay = &ray;
    auto near = boxAt(5.0f);
    auto far = boxAt(20.0f);
    auto missed = kubora::test::SelectableBox({10.0f, 0.0f, -10.0f}, {2.0f, 0.4f, 2.0f});
    for (const auto& order : {std::vector<libkub::SelectableObject*>{&near, &far, &missed},
                              std::vector<libkub::SelectableObject*>{&far, &missed, &near}}) {
        renderer.pickedObject = nullptr;
        renderer.selectables = order;
        renderer.pickTest();
        EXPECT_EQ(renderer.pickedObject, &near);
    }
}

TEST(PickTest, PickedObjectStaysWhenNothingIsHit)
{
    libkub::SceneRenderer renderer(nullptr);
    Ray ray = alongMinusZ;
    renderer.pickRay = &ray;
    auto box = boxAt(20.0f);
    renderer.selectables = {&box};
    renderer.pickTest();
    ASSERT_EQ(renderer.pickedObject, &box);
    ray.direction = {1.0f, 0.0f, 0.0f}; // into empty space
    renderer.pickTest();
    EXPECT_EQ(renderer.pickedObject, &box);
}

TEST(PickTest, OnlyBoxesInFrontOfTheEyeAndWithinAHundredArePicked)
{
    libkub::SceneRenderer renderer(nullptr);
    Ray ray = alongMinusZ;
    renderer.pickRay = &ray;
    auto behind = boxAt(-50.0f);
    auto justBehind = boxAt(-1.5f); // ends 0.5 behind the eye
    auto tooFar = boxAt(150.0f);
    renderer.selectables = {&behind, &justBehind, &tooFar};
    renderer.pickTest();
    EXPECT_EQ(renderer.pickedObject, nullptr);
    // A box the eye stands in is hit at once, before anything ahead.
    auto around = boxAt(0.5f);
    auto ahead = boxAt(5.0f);
    renderer.selectables = {&ahead, &behind, &around};
    renderer.pickTest();
    EXPECT_EQ(renderer.pickedObject, &around);
}

TEST(PickTest, WithoutAPickRayNothingIsPicked)
{
    libkub::SceneRenderer renderer(nullptr);
    auto box = boxAt(5.0f);
    renderer.selectables = {&box};
    renderer.pickTest();
    EXPECT_EQ(renderer.pickedObject, nullptr);
}
