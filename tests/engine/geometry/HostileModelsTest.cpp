// The hostile models the tests write: each is a readable COLLADA document whose triangles, read as the
// game reads them, have the trait its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaGeometry.h"
#include "collada/ColladaMesh.h"
#include "collada/ColladaSource.h"
#include "engine/geometry/TriangleExtraction.h"
#include "tests/support/HostileModels.h"
#include "tests/support/PngWriter.h"

namespace kubora::test {
namespace {

std::vector<libkub::Triangle> readTriangles(const std::string& path)
{
    libkub::ColladaDocument document;
    EXPECT_TRUE(document.loadFromFile(path)) << path;
    libkub::NormalOrigin normals = libkub::NormalOrigin::None;
    std::vector<libkub::Triangle> triangles = libkub::extractTriangles(document, &normals);
    EXPECT_EQ(normals, libkub::NormalOrigin::File) << path;
    return triangles;
}

class HostileModelFile : public testing::TestWithParam<HostileModel> {};

TEST_P(HostileModelFile, ReadsAsTrianglesWithUnitNormalsWhereItPromises)
{
    const HostileModel& model = GetParam();
    const std::string path = writeHostileModel(model, temporaryFolder());
    ASSERT_FALSE(path.empty());
    const std::vector<libkub::Triangle> triangles = readTriangles(path);
    ASSERT_GE(triangles.size(), 10u) << model.name;
    float farthest = 0.0f;
    for (const libkub::Triangle& triangle : triangles) {
        for (const libkub::Corner& corner : triangle.corners) {
            const libkub::Vector3f& p = corner.position;
            farthest = std::max(farthest, std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
            EXPECT_NEAR(corner.normal.length(), 1.0f, 1e-5f) << model.name;
        }
    }
    if (model.onScreen) {
        EXPECT_LE(farthest, 1.6f) << model.name << " fits the tile's place";
    } else {
        EXPECT_NEAR(farthest, 100000.0f, 2.0f) << model.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Each, HostileModelFile, testing::ValuesIn(hostileModels()),
                         [](const testing::TestParamInfo<HostileModel>& info) {
                             return hostileTestName(info.param.name);
                         });

TEST(HostileModels, SplitNormalsRepeatPositionsThatOtherModelsShare)
{
    const std::string folder = temporaryFolder();
    std::vector<std::string> paths = writeHostileModels(folder);
    ASSERT_EQ(paths.size(), hostileModels().size());
    libkub::ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(folder + "/split-normals.dae"));
    // 8 sides of 2 triangles and two caps of 8: every corner has a position of its own.
    const auto& source = document.geometries().front()->mesh->sources;
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(source.front()->data.size(), 32u * 3 * 3);
}

} // namespace
} // namespace kubora::test
