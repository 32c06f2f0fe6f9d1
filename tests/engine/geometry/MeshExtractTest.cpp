// Triangle extraction without GL: attribute strides, bounds, merging of groups, skipped quads.
#include <gtest/gtest.h>

#include <string>

#include "collada/ColladaDocument.h"
#include "tests/support/ColladaFixtures.h"
#include "engine/geometry/TriangleExtraction.h"

using namespace libkub;

namespace {

const auto fixture = kubora::test::colladaFixture;

std::vector<Triangle> trianglesOf(const std::string& name)
{
    ColladaDocument document;
    document.loadFromFile(fixture(name));
    return extractTriangles(document);
}

} // namespace

TEST(MeshExtract, CornersHoldTheReferencedValues)
{
    const std::vector<Triangle> triangles = trianglesOf("two_triangles.dae");
    ASSERT_EQ(triangles.size(), 2u);
    const Corner& corner = triangles[1].corners[2]; // position 3, normal 1, uv 3
    EXPECT_EQ(corner.position, (Vector3f{0, 1, 0}));
    EXPECT_EQ(corner.normal, (Vector3f{0, 0.5f, 0.5f}));
    EXPECT_EQ(corner.s, 0.0f);
    EXPECT_EQ(corner.t, 0.5f);
    EXPECT_EQ(triangles[0].corners[1].position, (Vector3f{1, 0, 0}));
    EXPECT_EQ(triangles[0].corners[1].s, 0.25f);
}

TEST(MeshExtract, TexcoordOfStrideThreeUsesItsFirstTwoValues)
{
    const std::vector<Triangle> triangles = trianglesOf("die_max_yup.dae");
    ASSERT_EQ(triangles.size(), 12u);
    // Triangle 0 corner 2 uses uv 2 = (1, 1, 0); triangle 1 corner 2 uses uv 3 = (0, 1, 0).
    EXPECT_EQ(triangles[0].corners[2].s, 1.0f);
    EXPECT_EQ(triangles[0].corners[2].t, 1.0f);
    EXPECT_EQ(triangles[1].corners[2].s, 0.0f);
    EXPECT_EQ(triangles[1].corners[2].t, 1.0f);
    EXPECT_EQ(triangles[2].corners[0].position, (Vector3f{50, 50, 50}));
    EXPECT_EQ(triangles[2].corners[0].normal, (Vector3f{0, 0, 1}));
}

TEST(MeshExtract, AllTriangleGroupsMergeInDocumentOrderAndAQuadGroupIsSkipped)
{
    const std::vector<Triangle> triangles = trianglesOf("several_materials.dae");
    ASSERT_EQ(triangles.size(), 4u);
    EXPECT_EQ(triangles[0].corners[2].position, (Vector3f{0.5f, 0.5f, 1}));
    EXPECT_EQ(triangles[1].corners[0].position, (Vector3f{1, 0, 0}));
    EXPECT_EQ(triangles[2].corners[0].position, (Vector3f{1, 1, 0})); // the beak group of the body
    EXPECT_EQ(triangles[3].corners[1].position, (Vector3f{3, 0, 0})); // the second geometry
    // No normals or texture coordinates in the file: the normals are computed (this flat triangle
    // faces +Z), the texture coordinates stay zero.
    EXPECT_EQ(triangles[3].corners[1].normal, (Vector3f{0, 0, 1}));
    EXPECT_EQ(triangles[3].corners[1].s, 0.0f);
}

TEST(MeshExtract, NothingFromAnEmptyOrMissingDocument)
{
    EXPECT_TRUE(trianglesOf("no_geometry.dae").empty());
    EXPECT_TRUE(trianglesOf("no_such_file.dae").empty());
}
