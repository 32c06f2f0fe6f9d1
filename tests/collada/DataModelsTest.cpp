// The shipped models under data/, read by the project's reader: each is a clean document with one triangle
// group, a colour image beside it and a phong material, and its geometry fits where the game places it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/image/PngLoader.h"

using libkub::ColladaDocument;
using libkub::InputSemantic;
using libkub::PrimitiveGroup;

namespace {

const std::string dataFolder = std::string(KUBORA_SOURCE_DIR) + "/data/";
const std::array<const char*, 4> modelNames{"board", "tile", "die", "duck"};

using Point = std::array<float, 3>;

struct Corner {
    Point position;
    Point normal;
    std::array<float, 2> texcoord;
};

// The triangles of a model as the mesh builder sees them: one group of POSITION, NORMAL and TEXCOORD.
struct Triangles {
    std::vector<std::array<Corner, 3>> list;
    Point min{1e30f, 1e30f, 1e30f};
    Point max{-1e30f, -1e30f, -1e30f};
};

Point cross(const Point& a, const Point& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Point minus(const Point& a, const Point& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

float dot(const Point& a, const Point& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Loads data/<name>.dae, checks the structure the game relies on and returns its triangles.
Triangles readModel(const std::string& name, ColladaDocument& document)
{
    Triangles result;
    const std::string path = dataFolder + name + ".dae";
    EXPECT_TRUE(document.loadFromFile(path)) << path;
    for (const auto& diagnostic : document.diagnostics()) {
        ADD_FAILURE() << path << ": " << diagnostic.message;
    }
    EXPECT_EQ(document.version(), "1.4.1");
    if (document.geometries().size() != 1 || !document.geometries()[0]->mesh ||
        document.geometries()[0]->mesh->groups.size() != 1) {
        ADD_FAILURE() << path << ": expected one geometry with one primitive group";
        return result;
    }
    const PrimitiveGroup& group = document.geometries()[0]->mesh->groups[0];
    EXPECT_EQ(group.kind, libkub::GroupKind::Triangles) << path;
    EXPECT_TRUE(libkub::isAllTriangles(group)) << path;
    EXPECT_EQ(libkub::faceCount(group), group.count) << path;
    const auto* position = libkub::findInput(group, InputSemantic::Position);
    const auto* normal = libkub::findInput(group, InputSemantic::Normal);
    const auto* texcoord = libkub::findInput(group, InputSemantic::Texcoord);
    if (!position || !normal || !texcoord) {
        ADD_FAILURE() << path << ": POSITION, NORMAL and TEXCOORD are needed";
        return result;
    }
    EXPECT_EQ(position->source->stride, 3u) << path;
    EXPECT_EQ(normal->source->stride, 3u) << path;
    EXPECT_EQ(texcoord->source->stride, 2u) << path;
    const auto& positionIndices = libkub::indicesOf(group, *position);
    const auto& normalIndices = libkub::indicesOf(group, *normal);
    const auto& texcoordIndices = libkub::indicesOf(group, *texcoord);
    const auto& p = position->source->data;
    const auto& n = normal->source->data;
    const auto& t = texcoord->source->data;
    for (std::size_t face = 0; face < libkub::faceCount(group); ++face) {
        std::array<Corner, 3> triangle;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t i = face * 3 + k;
            const std::size_t pi = positionIndices[i] * 3u;
            const std::size_t ni = normalIndices[i] * 3u;
            const std::size_t ti = texcoordIndices[i] * 2u;
            if (pi + 2 >= p.size() || ni + 2 >= n.size() || ti + 1 >= t.size()) {
                ADD_FAILURE() << path << ": index past its source in face " << face;
                return result;
            }
            triangle[k] = {{p[pi], p[pi + 1], p[pi + 2]}, {n[ni], n[ni + 1], n[ni + 2]}, {t[ti], t[ti + 1]}};
            for (int axis = 0; axis < 3; ++axis) {
                result.min[axis] = std::min(result.min[axis], triangle[k].position[axis]);
                result.max[axis] = std::max(result.max[axis], triangle[k].position[axis]);
            }
        }
        result.list.push_back(triangle);
    }
    return result;
}

void expectExtent(const Triangles& triangles, const Point& min, const Point& max, const std::string& name)
{
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(triangles.min[axis], min[axis], 1e-4) << name << " axis " << axis;
        EXPECT_NEAR(triangles.max[axis], max[axis], 1e-4) << name << " axis " << axis;
    }
}

} // namespace

TEST(DataModels, EachIsOneCleanTriangleGroupWithImageAndPhongMaterial)
{
    std::set<std::string> geometryIds;
    for (const char* name : modelNames) {
        SCOPED_TRACE(name);
        ColladaDocument document;
        const Triangles triangles = readModel(name, document);
        ASSERT_FALSE(triangles.list.empty());
        // The vertex-buffer mode shares buffers between models by geometry id, so the ids must differ.
        EXPECT_TRUE(geometryIds.insert(document.geometries()[0]->id).second) << document.geometries()[0]->id;
        // A vertex buffer holds at most 65535 vertices, three per triangle.
        EXPECT_LE(triangles.list.size(), 21845u);

        // The first image is the colour texture: a PNG beside the model that decodes.
        ASSERT_FALSE(document.images().empty());
        const std::filesystem::path image = document.images()[0]->fileName;
        EXPECT_TRUE(std::filesystem::equivalent(image.parent_path(), dataFolder)) << image;
        libkub::PngImage decoded;
        EXPECT_EQ(libkub::loadPng(image.string(), decoded), libkub::PngLoaded) << image;

        // Every material instantiates an effect with a phong profile_COMMON: the model's colours.
        ASSERT_EQ(document.materials().size(), 1u);
        ASSERT_NE(document.materials()[0]->effect, nullptr);
        const auto* common = libkub::findCommonProfile(*document.materials()[0]->effect);
        ASSERT_NE(common, nullptr);
        EXPECT_EQ(common->shadingModel, libkub::ShadingModel::Phong);
        EXPECT_GT(common->diffuse.r + common->diffuse.g + common->diffuse.b, 0.0f);
        EXPECT_GT(common->ambient.r + common->ambient.g + common->ambient.b, 0.0f);

        // Normals are unit vectors on the side the corners wind counter-clockwise around; texture
        // coordinates stay inside the image (it is clamped, not repeated).
        for (const auto& triangle : triangles.list) {
            const Point face = cross(minus(triangle[1].position, triangle[0].position),
                                     minus(triangle[2].position, triangle[0].position));
            for (const Corner& corner : triangle) {
                EXPECT_NEAR(dot(corner.normal, corner.normal), 1.0f, 2e-3f);
                EXPECT_GT(dot(face, corner.normal), 0.0f);
                EXPECT_GE(corner.texcoord[0], 0.0f);
                EXPECT_LE(corner.texcoord[0], 1.0f);
                EXPECT_GE(corner.texcoord[1], 0.0f);
                EXPECT_LE(corner.texcoord[1], 1.0f);
            }
        }
    }
}

TEST(DataModels, TileAndDieFillTheirBoxes)
{
    ColladaDocument tile;
    expectExtent(readModel("tile", tile), {-1.0f, -0.2f, -1.0f}, {1.0f, 0.2f, 1.0f}, "tile");
    ColladaDocument die;
    const Triangles dieTriangles = readModel("die", die);
    expectExtent(dieTriangles, {-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}, "die");
    EXPECT_EQ(dieTriangles.list.size(), 12u); // every new die reads the file again
}

TEST(DataModels, BoardLiesUnderTheTilesAndFramesThem)
{
    // Placed as the game places it: scaled by (16.8, 3, 16.8) at (10, -2, 9). The 64 tiles cover x and z
    // from -1 to 22 and reach down to y = -1.2.
    const Point scale{16.8f, 3.0f, 16.8f};
    const Point position{10.0f, -2.0f, 9.0f};
    ColladaDocument document;
    const Triangles triangles = readModel("board", document);
    float highestUnderTiles = -1e30f;
    float highestOutside = -1e30f;
    for (const auto& triangle : triangles.list) {
        // The triangle's world points, and whether any part of it reaches under the tiles' footprint.
        std::array<Point, 3> world;
        Point lo{1e30f, 1e30f, 1e30f};
        Point hi{-1e30f, -1e30f, -1e30f};
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                world[k][axis] = triangle[k].position[axis] * scale[axis] + position[axis];
                lo[axis] = std::min(lo[axis], world[k][axis]);
                hi[axis] = std::max(hi[axis], world[k][axis]);
            }
        }
        const bool underTiles = hi[0] > -1.0f && lo[0] < 22.0f && hi[2] > -1.0f && lo[2] < 22.0f;
        float& highest = underTiles ? highestUnderTiles : highestOutside;
        highest = std::max(highest, hi[1]);
    }
    EXPECT_LE(highestUnderTiles, -1.2f);  // below the tiles' bottom ...
    EXPECT_GE(highestUnderTiles, -1.35f); // ... and just under it, not far below
    EXPECT_GT(highestOutside, -1.2f);     // a rim rises beside the field
    for (int axis : {0, 2}) {
        EXPECT_LE(triangles.min[axis] * scale[axis] + position[axis], -1.5f) << axis;
        EXPECT_GE(triangles.max[axis] * scale[axis] + position[axis], 22.5f) << axis;
    }
}

TEST(DataModels, DuckStandsTwoToThreeUnitsTallOnItsFeet)
{
    ColladaDocument document;
    const Triangles triangles = readModel("duck", document);
    const float size = 0.02f; // as the game sizes it
    EXPECT_GE(triangles.max[1] * size, 2.0f);
    EXPECT_LE(triangles.max[1] * size, 3.0f);
    // It stands on y = 0 (soles and the top of its little base lie there); the base is shallow.
    EXPECT_GE(triangles.min[1] * size, -0.25f);
    std::size_t onTheGround = 0;
    for (const auto& triangle : triangles.list) {
        for (const Corner& corner : triangle) {
            onTheGround += std::abs(corner.position[1]) < 1e-4f ? 1 : 0;
        }
    }
    EXPECT_GT(onTheGround, 0u);
    EXPECT_GE(triangles.list.size(), 300u);
    EXPECT_LE(triangles.list.size(), 5000u);
}
