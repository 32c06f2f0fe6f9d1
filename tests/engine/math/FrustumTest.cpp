// Frustum: plane construction, the lens and pose numbers, the classification of boxes, and the
// test against the four sides alone that the shadow passes use.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "engine/math/Frustum.h"

using libkub::BoundingBox;
using libkub::Frustum;
using libkub::Plane;
using libkub::Vector3f;

namespace {

BoundingBox box(Vector3f min, Vector3f max)
{
    return libkub::boxBetween(min, max);
}

// Eye at the origin looking down -z, 90 degrees wide vertically and horizontally, near 1, far 50.
Frustum lookingDownMinusZ()
{
    Frustum frustum;
    frustum.setLens(90.0f, 1.0f, 1.0f, 50.0f);
    frustum.setPose({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f});
    return frustum;
}

} // namespace

TEST(Plane, FromPointsTakesTheNormalFromTheTurnAroundTheMiddlePoint)
{
    const Plane plane = Plane::planeFromPoints({1.0f, 2.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, {0.0f, 2.0f, 1.0f});
    EXPECT_EQ(plane.normal, (Vector3f{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(plane.point, (Vector3f{0.0f, 2.0f, 0.0f}));
    EXPECT_FLOAT_EQ(plane.d, -2.0f);
    EXPECT_FLOAT_EQ(plane.distance({5.0f, 7.0f, 5.0f}), 5.0f);
    EXPECT_FLOAT_EQ(plane.distance({5.0f, -1.0f, 5.0f}), -3.0f);
}

TEST(Frustum, StartsAllZero)
{
    const Frustum frustum;
    EXPECT_EQ(frustum.tangent, 0.0f);
    EXPECT_EQ(frustum.farHalfWidth, 0.0f);
    EXPECT_EQ(frustum.corners[Frustum::FarBottomRight], (Vector3f{}));
    EXPECT_EQ(frustum.planes[Frustum::Far].normal, (Vector3f{}));
}

TEST(Frustum, LensGivesTheHalfSizesOfNearAndFarPlanes)
{
    Frustum frustum;
    frustum.setLens(45.0f, 4.0f / 3.0f, 1.0f, 90.0f);
    EXPECT_FLOAT_EQ(frustum.tangent, 0.41421356f);
    EXPECT_FLOAT_EQ(frustum.nearHalfHeight, 0.41421356f);
    EXPECT_FLOAT_EQ(frustum.nearHalfWidth, 0.41421356f * 4.0f / 3.0f);
    EXPECT_FLOAT_EQ(frustum.farHalfHeight, 90.0f * 0.41421356f);
    EXPECT_FLOAT_EQ(frustum.farHalfWidth, 90.0f * 0.41421356f * 4.0f / 3.0f);
    EXPECT_EQ(frustum.fieldOfView, 45.0f);
    EXPECT_EQ(frustum.aspect, 4.0f / 3.0f);
}

TEST(Frustum, PoseGivesCornersAndInwardPlanes)
{
    const Frustum frustum = lookingDownMinusZ();
    const float epsilon = 1e-5f;
    const Vector3f nearTopLeft = frustum.corners[Frustum::NearTopLeft];
    EXPECT_NEAR(nearTopLeft.x, -1.0f, epsilon);
    EXPECT_NEAR(nearTopLeft.y, 1.0f, epsilon);
    EXPECT_NEAR(nearTopLeft.z, -1.0f, epsilon);
    const Vector3f farBottomRight = frustum.corners[Frustum::FarBottomRight];
    EXPECT_NEAR(farBottomRight.x, 50.0f, 1e-3f);
    EXPECT_NEAR(farBottomRight.y, -50.0f, 1e-3f);
    EXPECT_NEAR(farBottomRight.z, -50.0f, epsilon);

    // A point on the axis inside the frustum is on the positive side of every plane.
    for (const Plane& plane : frustum.planes) {
        EXPECT_GT(plane.distance({0.0f, 0.0f, -10.0f}), 0.0f);
        EXPECT_NEAR(plane.normal.length(), 1.0f, epsilon);
    }
    EXPECT_NEAR(frustum.planes[Frustum::Near].distance({0.0f, 0.0f, -3.0f}), 2.0f, epsilon);
    EXPECT_NEAR(frustum.planes[Frustum::Far].distance({0.0f, 0.0f, -45.0f}), 5.0f, epsilon);
    EXPECT_LT(frustum.planes[Frustum::Left].distance({-20.0f, 0.0f, -10.0f}), 0.0f);
    EXPECT_LT(frustum.planes[Frustum::Right].distance({20.0f, 0.0f, -10.0f}), 0.0f);
    EXPECT_LT(frustum.planes[Frustum::Top].distance({0.0f, 20.0f, -10.0f}), 0.0f);
    EXPECT_LT(frustum.planes[Frustum::Bottom].distance({0.0f, -20.0f, -10.0f}), 0.0f);
}

TEST(Frustum, ClassifiesBoxesInsideCrossingAndOutside)
{
    const Frustum frustum = lookingDownMinusZ();
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, -1.0f, -11.0f}, {1.0f, 1.0f, -9.0f})), libkub::Inside);

    // Wholly beyond one plane: behind the eye, past the far plane, off to each side.
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, -1.0f, 1.0f}, {1.0f, 1.0f, 3.0f})), libkub::Outside);
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, -1.0f, -70.0f}, {1.0f, 1.0f, -60.0f})), libkub::Outside);
    EXPECT_EQ(frustum.classifyBox(box({-40.0f, -1.0f, -11.0f}, {-30.0f, 1.0f, -9.0f})), libkub::Outside);
    EXPECT_EQ(frustum.classifyBox(box({30.0f, -1.0f, -11.0f}, {40.0f, 1.0f, -9.0f})), libkub::Outside);
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, 30.0f, -11.0f}, {1.0f, 40.0f, -9.0f})), libkub::Outside);

    // Crossing one plane: the far plane, the right plane.
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, -1.0f, -60.0f}, {1.0f, 1.0f, -40.0f})), libkub::Intersect);
    EXPECT_EQ(frustum.classifyBox(box({-1.0f, -1.0f, -11.0f}, {40.0f, 1.0f, -9.0f})), libkub::Intersect);
}

TEST(Frustum, BoxReachingIntoViewIsNeverCulledWhicheverCornerIsOutside)
{
    const Frustum frustum = lookingDownMinusZ();
    // The minimum corner lies far outside the left, bottom and near planes, yet the box covers the view.
    EXPECT_EQ(frustum.classifyBox(box({-100.0f, -100.0f, -11.0f}, {1.0f, 1.0f, 5.0f})), libkub::Intersect);
    // Likewise seen from the other side, where the plane normals point the other way.
    Frustum turned;
    turned.setLens(90.0f, 1.0f, 1.0f, 50.0f);
    turned.setPose({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f});
    EXPECT_EQ(turned.classifyBox(box({-1.0f, -1.0f, 9.0f}, {1.0f, 1.0f, 11.0f})), libkub::Inside);
    EXPECT_EQ(turned.classifyBox(box({-1.0f, -1.0f, 9.0f}, {100.0f, 100.0f, 11.0f})), libkub::Intersect);
    EXPECT_EQ(turned.classifyBox(box({-1.0f, -1.0f, -11.0f}, {1.0f, 1.0f, -9.0f})), libkub::Outside);
}

TEST(Frustum, SidesAloneIgnoreNearAndFar)
{
    // A light's shadow pass clamps depth: what lies before the near or past the far plane still
    // reaches the map, only what lies beyond a side does not.
    const Frustum frustum = lookingDownMinusZ();
    const std::pair<BoundingBox, bool> cases[] = {
        {box({-1.0f, -1.0f, -11.0f}, {1.0f, 1.0f, -9.0f}), false},   // inside
        {box({-1.0f, -1.0f, -70.0f}, {1.0f, 1.0f, -60.0f}), false},  // past the far plane
        {box({-0.1f, -0.1f, -0.6f}, {0.1f, 0.1f, -0.4f}), false},    // before the near plane
        {box({-40.0f, -1.0f, -11.0f}, {-30.0f, 1.0f, -9.0f}), true}, // left
        {box({30.0f, -1.0f, -11.0f}, {40.0f, 1.0f, -9.0f}), true},   // right
        {box({-1.0f, 30.0f, -11.0f}, {1.0f, 40.0f, -9.0f}), true},   // above
        {box({-1.0f, -40.0f, -11.0f}, {1.0f, -30.0f, -9.0f}), true}, // below
    };
    for (const auto& [tested, outside] : cases) {
        EXPECT_EQ(frustum.outsideSides(tested), outside)
            << tested.min.x << " " << tested.min.y << " " << tested.min.z;
    }
}
