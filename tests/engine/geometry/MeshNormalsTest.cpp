// Normals computed for triangles without them: smooth on a sphere, hard on a cube's edges, unit
// length and finite for degenerate and broken triangles; normals from the file are kept.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <vector>

#include "collada/ColladaDocument.h"
#include "engine/geometry/TriangleExtraction.h"
#include "engine/geometry/MeshNormals.h"
#include "tests/support/ColladaFixtures.h"

using namespace libkub;

namespace {

Triangle triangle(Vector3f a, Vector3f b, Vector3f c)
{
    Triangle t;
    t.corners[0].position = a;
    t.corners[1].position = b;
    t.corners[2].position = c;
    return t;
}

bool isUnit(const Vector3f& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) &&
           std::abs(v.length() - 1.0f) < 1e-4f;
}

} // namespace

TEST(MeshNormals, ASphereWithoutNormalsIsSmoothAndFacesOutward)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(kubora::test::colladaFixture("exporter_sphere_no_normals_max.dae")));
    NormalOrigin origin = NormalOrigin::None;
    const std::vector<Triangle> triangles = extractTriangles(document, &origin);
    EXPECT_EQ(origin, NormalOrigin::Computed);
    ASSERT_EQ(triangles.size(), 288u);
    // Every corner of one position carries one normal, close to the position itself (a unit sphere).
    std::map<std::tuple<float, float, float>, Vector3f> byPosition;
    for (const Triangle& t : triangles) {
        for (const Corner& corner : t.corners) {
            ASSERT_TRUE(isUnit(corner.normal));
            EXPECT_GT(dot(corner.normal, corner.position), 0.97f);
            const auto key = std::make_tuple(corner.position.x, corner.position.y, corner.position.z);
            const auto [found, added] = byPosition.emplace(key, corner.normal);
            if (!added) {
                EXPECT_LT((found->second - corner.normal).length(), 1e-5f);
            }
        }
    }
    EXPECT_EQ(byPosition.size(), 146u);
}

TEST(MeshNormals, ACubeKeepsItsFacesFlat)
{
    // Two faces meeting at a right angle along the edge x = 1, z = 1 (corners shared by position).
    std::vector<Triangle> triangles = {
        triangle({-1, -1, 1}, {1, -1, 1}, {1, 1, 1}),
        triangle({-1, -1, 1}, {1, 1, 1}, {-1, 1, 1}),
        triangle({1, -1, 1}, {1, -1, -1}, {1, 1, -1}),
        triangle({1, -1, 1}, {1, 1, -1}, {1, 1, 1}),
    };
    computeNormals(triangles.data(), triangles.size());
    for (int t = 0; t < 4; ++t) {
        const Vector3f expected = t < 2 ? Vector3f{0, 0, 1} : Vector3f{1, 0, 0};
        for (const Corner& corner : triangles[t].corners) {
            EXPECT_LT((corner.normal - expected).length(), 1e-6f) << t;
        }
    }
}

TEST(MeshNormals, DegenerateAndBrokenTrianglesStillGetUnitNormals)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<Triangle> triangles = {
        triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}),     // a good face, +Z
        triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}),     // collinear, touching the good face
        triangle({5, 5, 5}, {5, 5, 5}, {5, 5, 5}),     // one point, alone
        triangle({nan, 0, 0}, {1, nan, 0}, {0, 1, 0}), // not a number
        triangle({inf, 0, 0}, {0, inf, 0}, {0, 0, 1}), // infinite
        triangle({0, 0, 0}, {1e-30f, 0, 0}, {0, 1e-30f, 0}),
    };
    computeNormals(triangles.data(), triangles.size());
    for (const Triangle& t : triangles) {
        for (const Corner& corner : t.corners) {
            EXPECT_TRUE(isUnit(corner.normal))
                << corner.normal.x << " " << corner.normal.y << " " << corner.normal.z;
        }
    }
    // The collinear face takes the normal of the face it touches.
    EXPECT_LT((triangles[1].corners[0].normal - Vector3f{0, 0, 1}).length(), 1e-6f);
}

TEST(MeshNormals, NormalsFromTheFileAreKept)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(kubora::test::colladaFixture("exporter_lambert_cube_maya.dae")));
    NormalOrigin origin = NormalOrigin::None;
    const std::vector<Triangle> triangles = extractTriangles(document, &origin);
    EXPECT_EQ(origin, NormalOrigin::File);
    ASSERT_EQ(triangles.size(), 12u);
    EXPECT_EQ(triangles[0].corners[0].normal, (Vector3f{0, 0, 1}));
    EXPECT_EQ(triangles[11].corners[2].normal, (Vector3f{0, -1, 0}));
}
