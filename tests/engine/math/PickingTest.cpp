// Ray against box: hits and misses by distance, the open parameter interval, rays parallel to a face.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/math/Picking.h"

using libkub::BoundingBox;
using libkub::Ray;
using libkub::rayHitsBox;
using libkub::Vector3f;

namespace {

BoundingBox boxAround(Vector3f centre, Vector3f size)
{
    BoundingBox box;
    box.centre = centre;
    box.size = size;
    box.min = centre - size * 0.5f;
    box.max = centre + size * 0.5f;
    return box;
}

const Ray slanted{{-3.0f, 6.0f, -3.0f}, libkub::normalize({0.4f, -0.3f, 0.5f})};
const Vector3f tileSize{2.0f, 0.4f, 2.0f};

} // namespace

TEST(RayHitsBox, HitsATileTwentyAwayAndMissesItAtOneHundredFifty)
{
    const Vector3f at20 = slanted.origin + slanted.direction * 20.0f;
    const Vector3f at150 = slanted.origin + slanted.direction * 150.0f;
    EXPECT_TRUE(rayHitsBox(slanted, boxAround(at20, tileSize), -100.0f, 100.0f));
    EXPECT_FALSE(rayHitsBox(slanted, boxAround(at150, tileSize), -100.0f, 100.0f));
}

TEST(RayHitsBox, MissesBesideTheBoxAndCountsBoxesBehindWithinTheInterval)
{
    const Vector3f at20 = slanted.origin + slanted.direction * 20.0f;
    EXPECT_FALSE(
        rayHitsBox(slanted, boxAround(at20 + Vector3f{2.5f, 0.0f, 0.0f}, tileSize), -100.0f, 100.0f));
    // Behind the origin: inside (-100, 100) it counts, inside (0, 100) it does not.
    const Vector3f behind = slanted.origin + slanted.direction * -50.0f;
    EXPECT_TRUE(rayHitsBox(slanted, boxAround(behind, tileSize), -100.0f, 100.0f));
    EXPECT_FALSE(rayHitsBox(slanted, boxAround(behind, tileSize), 0.0f, 100.0f));
}

TEST(RayHitsBox, TheIntervalIsOpen)
{
    // Along +x from the origin, the box spans parameters 10 to 12.
    const Ray ray{{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}};
    const BoundingBox box = boxAround({11.0f, 0.0f, 0.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_TRUE(rayHitsBox(ray, box, 0.0f, 10.5f));
    EXPECT_FALSE(rayHitsBox(ray, box, 0.0f, 10.0f));
    EXPECT_TRUE(rayHitsBox(ray, box, 11.5f, 100.0f));
    EXPECT_FALSE(rayHitsBox(ray, box, 12.0f, 100.0f));
}

TEST(RayHitsBox, RayParallelToFacesHitsOnlyWhenItsOriginIsWithinThoseSlabs)
{
    const BoundingBox box = boxAround({0.0f, 0.0f, -10.0f}, {2.0f, 2.0f, 2.0f});
    const Vector3f down{0.0f, 0.0f, -1.0f};
    EXPECT_TRUE(rayHitsBox({{0.5f, -0.5f, 0.0f}, down}, box, -100.0f, 100.0f));
    EXPECT_FALSE(rayHitsBox({{1.5f, 0.0f, 0.0f}, down}, box, -100.0f, 100.0f));
    EXPECT_FALSE(rayHitsBox({{0.0f, -1.5f, 0.0f}, down}, box, -100.0f, 100.0f));
    // Exactly on a face plane: grazing the box counts as a hit (no undefined 0 x infinity).
    EXPECT_TRUE(rayHitsBox({{1.0f, 0.0f, 0.0f}, down}, box, -100.0f, 100.0f));
    EXPECT_TRUE(rayHitsBox({{-1.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}, box, -100.0f, 100.0f));
}

TEST(RayHitsBox, RayWithoutADirectionMissesEverything)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BoundingBox box = boxAround({0.0f, 0.0f, 0.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_FALSE(rayHitsBox({{0.0f, 0.0f, 5.0f}, {nan, nan, nan}}, box, -100.0f, 100.0f));
    EXPECT_FALSE(rayHitsBox({{nan, 0.0f, 5.0f}, {0.0f, 0.0f, -1.0f}}, box, -100.0f, 100.0f));
}
