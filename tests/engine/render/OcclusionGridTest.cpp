// The occlusion grid says an object is hidden only where faces nearer than it by the margin cover every
// pixel centre it could draw: whole faces, faces that fill cells between them, and never through an
// uncovered pixel or a face within the margin of the object.
#include <gtest/gtest.h>

#include "engine/render/OcclusionGrid.h"

namespace {

using libkub::OcclusionGrid;
using libkub::Vector3f;

// A window-aligned rectangle at one depth, as cover takes quads.
std::array<Vector3f, 4> rectangle(float left, float bottom, float right, float top, float depth)
{
    return {Vector3f{left, bottom, depth}, Vector3f{right, bottom, depth}, Vector3f{right, top, depth},
            Vector3f{left, top, depth}};
}

struct Case {
    const char* what;
    std::vector<std::array<Vector3f, 4>> faces;
    // The object: its projected corners' rectangle and nearest depth.
    float left, bottom, right, top, nearest;
    bool hidden;
};

TEST(OcclusionGrid, HidesOnlyWhatNearerFacesCoverAtEveryPixel)
{
    const float behind = 0.5f + 2.0f * OcclusionGrid::depthMargin;
    const Case cases[] = {
        {"inside one face, behind it", {rectangle(10, 10, 90, 90, 0.5f)}, 30, 30, 60, 60, behind, true},
        {"inside one face, in front of it", {rectangle(10, 10, 90, 90, 0.5f)}, 30, 30, 60, 60, 0.4f, false},
        {"behind by less than the margin",
         {rectangle(10, 10, 90, 90, 0.5f)},
         30,
         30,
         60,
         60,
         0.5f + 0.5f * OcclusionGrid::depthMargin,
         false},
        {"reaching past the face's edge", {rectangle(10, 10, 90, 90, 0.5f)}, 30, 30, 95, 60, behind, false},
        {"within a pixel of a cell the face covers in part",
         {rectangle(10, 10, 90, 90, 0.5f)},
         30,
         30,
         87.5f,
         60,
         behind,
         false},
        {"two faces that meet cover it together",
         {rectangle(10, 10, 51, 90, 0.5f), rectangle(51, 10, 90, 90, 0.45f)},
         30,
         30,
         60,
         60,
         behind,
         true},
        {"two faces that fill a cell, the deeper one (first) in front of it",
         {rectangle(51, 10, 90, 90, 0.6f), rectangle(10, 10, 51, 90, 0.5f)},
         30,
         30,
         49,
         60,
         behind,
         false},
        {"two faces with a pixel's gap between them",
         {rectangle(10, 10, 50, 90, 0.5f), rectangle(51, 10, 90, 90, 0.45f)},
         30,
         30,
         60,
         60,
         behind,
         false},
        {"a slanted face: hidden behind the deepest of it over the object",
         {{Vector3f{10, 10, 0.3f}, Vector3f{90, 10, 0.7f}, Vector3f{90, 90, 0.7f}, Vector3f{10, 90, 0.3f}}},
         20,
         30,
         30,
         60,
         0.45f,
         true},
        {"a slanted face: not where it lies deeper than the object",
         {{Vector3f{10, 10, 0.3f}, Vector3f{90, 10, 0.7f}, Vector3f{90, 90, 0.7f}, Vector3f{10, 90, 0.3f}}},
         60,
         30,
         80,
         60,
         0.6f,
         false},
        {"a triangle's slanted edge, clockwise corners",
         {{Vector3f{10, 10, 0.5f}, Vector3f{10, 90, 0.5f}, Vector3f{90, 10, 0.5f}, Vector3f{90, 10, 0.5f}}},
         20,
         20,
         40,
         40,
         behind,
         true},
        {"across a triangle's slanted edge",
         {{Vector3f{10, 10, 0.5f}, Vector3f{10, 90, 0.5f}, Vector3f{90, 10, 0.5f}, Vector3f{90, 10, 0.5f}}},
         30,
         30,
         60,
         60,
         behind,
         false},
        {"a row of centres nearer the faces' edges than the snapping of their corners",
         {rectangle(10, 10, 52.505f, 90, 0.5f), rectangle(52.6f, 10, 90, 90, 0.45f)},
         30,
         30,
         60,
         60,
         behind,
         false},
        {"a face and an object reaching far beyond the window",
         {rectangle(-1e9f, -1e9f, 1e9f, 1e9f, 0.5f)},
         -1e30f,
         30,
         1e30f,
         60,
         behind,
         true},
        {"no face", {}, 30, 30, 60, 60, 0.9f, false},
    };
    const int viewport[4] = {0, 0, 101, 99}; // cells cut off at the right and top
    for (const Case& c : cases) {
        OcclusionGrid grid;
        grid.reset(viewport);
        for (const auto& face : c.faces) {
            grid.cover(face);
        }
        EXPECT_EQ(grid.hides(c.left, c.bottom, c.right, c.top, c.nearest), c.hidden) << c.what;
    }
}

} // namespace
