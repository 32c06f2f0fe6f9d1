// Which triangle lists enclose a solid with their fronts outwards (their back faces may be skipped):
// a cube, the same cube inside out, with a face missing, with a face run twice, and the game's models.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "engine/MeshClosure.h"

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

} // namespace
