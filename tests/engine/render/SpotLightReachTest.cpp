// Where the spot light can change a pixel: the cone's reach from its exponent and cut-off, the box
// around the lit part of a scene, and the window rectangle of a box; checked against the shader's own
// formula at sampled points; and how far the spot pass is pulled towards the eye on each depth buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/render/SpotLightReach.h"

namespace {

using libkub::BoundingBox;
using libkub::Vector3f;

bool inside(const BoundingBox& box, Vector3f p)
{
    return p.x >= box.min.x && p.x <= box.max.x && p.y >= box.min.y && p.y <= box.max.y && p.z >= box.min.z &&
           p.z <= box.max.z;
}

TEST(SpotReachCosine, TheFalloffNarrowsTheConeWellInsideTheCutOff)
{
    // The game's spot light: exponent 36, cut-off 64 degrees, white on materials up to white.
    const std::optional<float> cosine = libkub::spotReachCosine(64.0f, 36.0f, 2.0f);
    ASSERT_TRUE(cosine);
    EXPECT_NEAR(std::acos(*cosine) * 180.0 / 3.141592653589793, 36.0, 0.1);
    // At the reach, the share is a quarter level; a little inside it, more.
    EXPECT_NEAR(std::pow(*cosine, 36.0f) * 2.0f, 1.0f / 1020.0f, 1e-6f);

    // A weak falloff leaves the cut-off as the bound, and no cut-off means everywhere.
    EXPECT_FLOAT_EQ(*libkub::spotReachCosine(20.0f, 1.0f, 1.0f), std::cos(20.0f * 3.14159265f / 180.0f));
    EXPECT_FLOAT_EQ(*libkub::spotReachCosine(45.0f, 0.0f, 1.0f), std::cos(45.0f * 3.14159265f / 180.0f));
    EXPECT_LE(*libkub::spotReachCosine(180.0f, 36.0f, 1.0f), 0.0f);
    // A light that adds nothing reaches nowhere.
    EXPECT_FALSE(libkub::spotReachCosine(64.0f, 36.0f, 0.0f));
    EXPECT_FALSE(libkub::spotReachCosine(64.0f, 36.0f, 1e-9f));
}

TEST(SpotLitBox, HoldsEveryPointOfTheSceneTheSpotLightCanChange)
{
    const BoundingBox scene = libkub::boxBetween({0.0f, -2.0f, 0.0f}, {20.0f, 3.0f, 18.0f});
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const Vector3f axes[] = {{0.0f, -1.0f, 0.0f}, libkub::normalize({0.3f, -1.0f, 0.2f})};
    for (const Vector3f axis : axes) {
        const Vector3f apex{9.0f, 6.0f, 9.0f};
        const float strongest = 2.0f;
        const float cosine = *libkub::spotReachCosine(64.0f, 36.0f, strongest);
        const std::optional<BoundingBox> lit = libkub::spotLitBox(apex, axis, cosine, scene);
        ASSERT_TRUE(lit);
        if (axis.y == -1.0f) {
            // Cut 8 below the light, the cone is 2 * 8 * tan(36 degrees) = 11.6 wide.
            EXPECT_NEAR(lit->size.x, 11.6f, 0.1f);
            EXPECT_NEAR(lit->size.z, 11.6f, 0.1f);
        }
        int outside = 0;
        for (int i = 0; i < 20000; ++i) {
            const Vector3f p{scene.min.x + unit(random) * scene.size.x,
                             scene.min.y + unit(random) * scene.size.y,
                             scene.min.z + unit(random) * scene.size.z};
            if (inside(*lit, p)) {
                continue;
            }
            ++outside;
            // The shader's share at p, at its strongest (lit, facing the light, full specular).
            const Vector3f toPoint = libkub::normalize(p - apex);
            const float spotCos = libkub::dot(toPoint, axis);
            const float share = spotCos >= std::cos(64.0f * 3.14159265f / 180.0f)
                                    ? std::pow(spotCos, 36.0f) * strongest
                                    : 0.0f;
            ASSERT_LT(share, 1.0f / 1020.0f) << p.x << " " << p.y << " " << p.z;
        }
        EXPECT_GT(outside, 5000);
    }
}

TEST(SpotLitBox, NothingWhenTheSceneLiesBehindTheLight)
{
    const BoundingBox scene = libkub::boxBetween({0.0f, -2.0f, 0.0f}, {20.0f, 3.0f, 18.0f});
    EXPECT_FALSE(libkub::spotLitBox({9.0f, -5.0f, 9.0f}, {0.0f, -1.0f, 0.0f}, 0.8f, scene));
    // Looking down beside the scene, the cone misses it.
    EXPECT_FALSE(libkub::spotLitBox({60.0f, 6.0f, 9.0f}, {0.0f, -1.0f, 0.0f}, 0.8f, scene));
}

TEST(WindowRectOfBox, CoversTheProjectionAndStopsAtTheViewport)
{
    // A projection that keeps x and y and puts w = -z: the eye looks down -z.
    libkub::Matrix4f projection;
    projection[0] = projection[5] = 1.0f;
    projection[11] = -1.0f;
    const libkub::Matrix4f modelview = libkub::Matrix4f::identity();
    const int viewport[4] = {0, 0, 200, 100};

    const auto rect = libkub::windowRectOfBox(libkub::boxBetween({-0.5f, -0.5f, -2.0f}, {0.5f, 0.5f, -1.0f}),
                                              projection, modelview, viewport);
    ASSERT_TRUE(rect);
    // The near face spans -0.5..0.5 in x and y: pixels 50..150 and 25..75, a pixel to spare each side.
    EXPECT_EQ(rect->x, 49);
    EXPECT_EQ(rect->y, 24);
    EXPECT_EQ(rect->width, 102);
    EXPECT_EQ(rect->height, 52);

    const auto offScreen = libkub::windowRectOfBox(
        libkub::boxBetween({5.0f, 5.0f, -2.0f}, {6.0f, 6.0f, -1.0f}), projection, modelview, viewport);
    ASSERT_TRUE(offScreen);
    EXPECT_EQ(offScreen->width, 0);

    const auto huge = libkub::windowRectOfBox(libkub::boxBetween({-1e9f, -1e9f, -2.0f}, {1e9f, 1e9f, -1.0f}),
                                              projection, modelview, viewport);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->width, 200);
    EXPECT_EQ(huge->height, 100);

    EXPECT_FALSE(libkub::windowRectOfBox(libkub::boxBetween({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}),
                                         projection, modelview, viewport))
        << "a box around the eye has no bounded projection";
}

TEST(SpotPassPull, IsTwoToTheMinus21OfTheDepthRangeInTheBuffersOwnUnits)
{
    // Fixed point: a unit is 2^-bits.
    EXPECT_EQ(libkub::spotPassPullUnits(false, 24), 8.0f);
    EXPECT_EQ(libkub::spotPassPullUnits(false, 32), 2048.0f);
    EXPECT_EQ(libkub::spotPassPullUnits(false, 16), 2.0f) << "at least two steps of a shallow buffer";
    // Float: a unit is 2^(e - 23) of the polygon's largest depth, whatever the 32 bits say.
    EXPECT_EQ(libkub::spotPassPullUnits(true, 32), 8.0f);
}

} // namespace
