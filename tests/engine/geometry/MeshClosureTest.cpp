// Which triangle lists enclose solids with their fronts outwards (their back faces may be skipped): a
// cube, the same cube inside out, with a face missing, with a face run twice, the game's models, and
// the hostile models part by part; and the volume of a thin box far from the origin keeps its sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "engine/geometry/MeshClosure.h"
#include "engine/geometry/TriangleExtraction.h"
#include "tests/support/HostileModels.h"
#include "tests/support/PngWriter.h"

namespace {

using libkub::Triangle;
using libkub::Vector3f;

// The unit cube's twelve triangles, counter-clockwise seen from outside.
std::vector<Triangle> cube()
{
    const Vector3f p[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                           {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    std::vector<Triangle> triangles;
    for (const auto& face : faces) {
        for (const auto& corners :
             {std::array<int, 3>{face[0], face[1], face[2]}, {face[0], face[2], face[3]}}) {
            Triangle triangle;
            for (int i = 0; i < 3; ++i) {
                triangle.corners[i].position = p[corners[i]];
            }
            triangles.push_back(triangle);
        }
    }
    return triangles;
}

bool closed(const std::vector<Triangle>& triangles)
{
    return libkub::isClosedOutwardSurface(triangles.data(), triangles.size());
}

TEST(MeshClosure, OnlyAClosedSurfaceWoundOutwardsCounts)
{
    std::vector<Triangle> solid = cube();
    EXPECT_TRUE(closed(solid));

    std::vector<Triangle> insideOut = solid;
    for (Triangle& triangle : insideOut) {
        std::swap(triangle.corners[1], triangle.corners[2]);
    }
    EXPECT_FALSE(closed(insideOut)) << "wound inwards: the back faces are the ones seen";

    std::vector<Triangle> open(solid.begin(), solid.end() - 2);
    EXPECT_FALSE(closed(open)) << "a face missing";

    std::vector<Triangle> oneFlipped = solid;
    std::swap(oneFlipped[0].corners[1], oneFlipped[0].corners[2]);
    EXPECT_FALSE(closed(oneFlipped)) << "one triangle wound the other way";

    std::vector<Triangle> doubled = solid;
    doubled.push_back(solid[0]);
    EXPECT_FALSE(closed(doubled)) << "an edge shared by three faces";

    std::vector<Triangle> degenerate = solid;
    degenerate[0].corners[1].position = degenerate[0].corners[0].position;
    EXPECT_FALSE(closed(degenerate));

    EXPECT_FALSE(libkub::isClosedOutwardSurface(nullptr, 0));
}

TEST(MeshClosure, TheGamesModelsAreClosedSolids)
{
    for (const std::string name : {"die", "tile", "board", "duck"}) {
        libkub::ColladaDocument document;
        ASSERT_TRUE(document.loadFromFile(KUBORA_SOURCE_DIR "/data/" + name + ".dae")) << name;
        const std::vector<Triangle> triangles = libkub::extractTriangles(document);
        EXPECT_TRUE(closed(triangles)) << name;
    }
}

std::vector<Triangle> readHostile(const kubora::test::HostileModel& model)
{
    libkub::ColladaDocument document;
    EXPECT_TRUE(
        document.loadFromFile(kubora::test::writeHostileModel(model, kubora::test::temporaryFolder())));
    return libkub::extractTriangles(document);
}

std::vector<Triangle> insideOut(std::vector<Triangle> triangles)
{
    for (Triangle& triangle : triangles) {
        std::swap(triangle.corners[1], triangle.corners[2]);
    }
    return triangles;
}

class HostileClosure : public testing::TestWithParam<kubora::test::HostileModel> {};

TEST_P(HostileClosure, IsClosedOnlyWhenEveryPartIsClosedAndOutward)
{
    const kubora::test::HostileModel& model = GetParam();
    const std::vector<Triangle> triangles = readHostile(model);
    ASSERT_FALSE(triangles.empty());
    EXPECT_EQ(closed(triangles), model.closed) << model.what;
    // Turned inside out as a whole, only the model that was inside out as a whole becomes closed.
    EXPECT_EQ(closed(insideOut(triangles)), model.name == "inside-out") << model.what;
}

INSTANTIATE_TEST_SUITE_P(Each, HostileClosure, testing::ValuesIn(kubora::test::hostileModels()),
                         [](const testing::TestParamInfo<kubora::test::HostileModel>& info) {
                             return kubora::test::hostileTestName(info.param.name);
                         });

TEST(MeshClosure, AnInsideOutPartBesideALargerOutwardPartIsNotClosed)
{
    const std::vector<Triangle> triangles = readHostile(kubora::test::hostileModels().front());
    const auto volumes = libkub::closedPartVolumes(triangles.data(), triangles.size());
    ASSERT_TRUE(volumes);
    ASSERT_EQ(volumes->size(), 2u);
    // The box of 1.2 x 0.4 x 2, then the smaller one of 0.6 x 0.55 x 1.2, wound inside out: the total is
    // positive, which is what used to pass.
    EXPECT_NEAR((*volumes)[0], 0.96, 1e-6);
    EXPECT_NEAR((*volumes)[1], -0.396, 1e-6);
    EXPECT_GT((*volumes)[0] + (*volumes)[1], 0.0);
}

TEST(MeshClosure, TwoCubesTouchingAtACornerAreTwoParts)
{
    std::vector<Triangle> triangles = cube();
    for (Triangle triangle : cube()) {
        for (libkub::Corner& corner : triangle.corners) {
            corner.position = corner.position + Vector3f{1.0f, 1.0f, 1.0f};
        }
        triangles.push_back(triangle);
    }
    const auto volumes = libkub::closedPartVolumes(triangles.data(), triangles.size());
    ASSERT_TRUE(volumes);
    ASSERT_EQ(volumes->size(), 2u);
    EXPECT_DOUBLE_EQ((*volumes)[0], 1.0);
    EXPECT_DOUBLE_EQ((*volumes)[1], 1.0);
}

TEST(MeshClosure, AThinBoxFarFromTheOriginKeepsTheSignOfItsVolume)
{
    const auto& models = kubora::test::hostileModels();
    const auto far =
        std::find_if(models.begin(), models.end(), [](const auto& m) { return m.name == "far-thin"; });
    ASSERT_NE(far, models.end());
    const std::vector<Triangle> triangles = readHostile(*far);
    const Vector3f& corner = triangles.front().corners[0].position;
    ASSERT_NEAR(std::hypot(corner.x, corner.y, corner.z), 100000.0, 2.0);

    // 2 x 0.0625 x 2, exactly representable at that distance.
    const auto volumes = libkub::closedPartVolumes(triangles.data(), triangles.size());
    ASSERT_TRUE(volumes);
    ASSERT_EQ(volumes->size(), 1u);
    EXPECT_DOUBLE_EQ((*volumes)[0], 0.25);
    const std::vector<Triangle> flipped = insideOut(triangles);
    const auto flippedVolumes = libkub::closedPartVolumes(flipped.data(), flipped.size());
    ASSERT_TRUE(flippedVolumes);
    EXPECT_DOUBLE_EQ((*flippedVolumes)[0], -0.25);

    // Triple products from the origin in float are off by far more than the volume.
    double fromOrigin = 0.0;
    for (const Triangle& triangle : triangles) {
        const libkub::Corner* c = triangle.corners;
        fromOrigin += static_cast<double>(dot(c[0].position, cross(c[1].position, c[2].position)));
    }
    EXPECT_GT(std::abs(fromOrigin / 6.0 - 0.25), 1.0);
}

} // namespace
