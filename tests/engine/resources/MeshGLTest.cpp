// Mesh building on a real GL context: the interleaved vertex buffer, display lists in both list
// modes, buffers shared through the mesh cache by file and geometry id, and models without geometry.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "collada/ColladaDocument.h"
#include "tests/support/ColladaFixtures.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/MeshCache.h"
#include "tests/support/GlTestContext.h"

using namespace libkub;

namespace {

const auto fixture = kubora::test::colladaFixture;

// Builds the mesh of a fixture in the given render mode, restoring the mode afterwards.
Mesh buildIn(RenderMode mode, const std::string& name)
{
    ColladaDocument document;
    document.loadFromFile(fixture(name));
    RenderSettings& settings = RenderSettings::instance();
    const RenderMode before = settings.renderMode;
    settings.renderMode = mode;
    Mesh mesh = buildMesh(document);
    settings.renderMode = before;
    return mesh;
}

std::vector<float> bufferContents(unsigned buffer)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    GLint size = 0;
    glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_SIZE_ARB, &size);
    std::vector<float> floats(static_cast<std::size_t>(size) / sizeof(float));
    glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, size, floats.data());
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    return floats;
}

// Draws a display list over the whole window in white with an orthographic unit square, and
// returns the RGB of the pixel at (x, y).
std::vector<std::uint8_t> drawListAndRead(unsigned list, int x, int y)
{
    glViewport(0, 0, kubora::test::glTestWindowWidth, kubora::test::glTestWindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glCallList(list);
    glFinish();
    return kubora::test::readPixelsRgb(x, y, 1, 1);
}

} // namespace

TEST(MeshGL, TwoTrianglesFillAnInterleavedBufferOf192Bytes)
{
    const Mesh mesh = buildIn(VBO, "two_triangles.dae");
    EXPECT_EQ(mesh.triangleCount, 2u);
    EXPECT_EQ(mesh.vertexCount, 6u);
    EXPECT_TRUE(mesh.triangles.empty());
    EXPECT_EQ(mesh.displayList, 0u);
    ASSERT_NE(mesh.vertexBuffer, 0u);

    const std::vector<float> data = bufferContents(mesh.vertexBuffer);
    ASSERT_EQ(data.size() * sizeof(float), 192u);
    // Vertex 0: uv 0, normal 0, position 0. Vertex 4 (triangle 1, corner 1): uv 2, normal 1, position 2.
    EXPECT_EQ((std::vector<float>(data.begin(), data.begin() + 8)),
              (std::vector<float>{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ((std::vector<float>(data.begin() + 32, data.begin() + 40)),
              (std::vector<float>{0.25f, 0.5f, 0, 0.5f, 0.5f, 1, 1, 0}));
}

TEST(MeshGL, FillingABufferLeavesItBoundAndFreesTheTriangles)
{
    Mesh mesh;
    mesh.triangles.resize(3);
    mesh.triangles[2].corners[2].position = Vector3f{7, 8, 9};
    fillVertexBuffer(mesh);
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), mesh.vertexBuffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(mesh.vertexCount, 9u);
    EXPECT_TRUE(mesh.triangles.empty());
    const std::vector<float> data = bufferContents(mesh.vertexBuffer);
    ASSERT_EQ(data.size(), 9u * 8u);
    EXPECT_EQ((std::vector<float>(data.end() - 3, data.end())), (std::vector<float>{7, 8, 9}));
}

TEST(MeshGL, BothListModesKeepTrianglesAndCompileADisplayListThatDraws)
{
    for (RenderMode mode : {Immediate, DisplayList}) {
        const Mesh mesh = buildIn(mode, "two_triangles.dae");
        EXPECT_EQ(mesh.triangleCount, 2u);
        ASSERT_EQ(mesh.triangles.size(), 2u);
        EXPECT_EQ(mesh.vertexBuffer, 0u);
        EXPECT_EQ(mesh.vertexCount, 0u);
        ASSERT_NE(mesh.displayList, 0u);
        EXPECT_TRUE(glIsList(mesh.displayList));
        // The two triangles cover the unit square: the middle of the window turns white.
        const auto pixel = drawListAndRead(mesh.displayList, kubora::test::glTestWindowWidth / 2,
                                           kubora::test::glTestWindowHeight / 2);
        EXPECT_EQ(pixel, (std::vector<std::uint8_t>{255, 255, 255}));
    }
}

TEST(MeshGL, RecompilingKeepsTheListName)
{
    Mesh mesh = buildIn(DisplayList, "two_triangles.dae");
    const unsigned list = mesh.displayList;
    mesh.triangles.clear();
    compileDisplayList(mesh);
    EXPECT_EQ(mesh.displayList, list);
    // Now empty: nothing is drawn.
    EXPECT_EQ(drawListAndRead(list, 160, 120), (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(MeshGL, TwoFilesSharingAGeometryIdEachDrawTheirOwnTriangles)
{
    // shared_tile_b.dae reuses the geometry id of shared_tile_a.dae with every position at 9.
    for (const RenderMode mode : {VBO, Immediate, DisplayList}) {
        const Mesh first = buildIn(mode, "shared_tile_a.dae");
        const Mesh second = buildIn(mode, "shared_tile_b.dae");
        ASSERT_EQ(second.triangleCount, 2u) << mode;
        if (mode == VBO) {
            ASSERT_NE(first.vertexBuffer, 0u);
            EXPECT_NE(second.vertexBuffer, first.vertexBuffer);
            const std::vector<float> firstData = bufferContents(first.vertexBuffer);
            const std::vector<float> secondData = bufferContents(second.vertexBuffer);
            ASSERT_EQ(secondData.size(), 48u);
            EXPECT_EQ(firstData[5 + 8], 1.0f); // the second vertex's x
            EXPECT_EQ(secondData[5 + 8], 9.0f);
        } else {
            EXPECT_EQ(first.triangles[0].corners[1].position.x, 1.0f) << mode;
            EXPECT_EQ(second.triangles[0].corners[1].position.x, 9.0f) << mode;
            EXPECT_NE(second.displayList, first.displayList) << mode;
        }
    }
    // The same file again shares its buffer, under a key of file and geometry id.
    const Mesh again = buildIn(VBO, "shared_tile_a.dae");
    ColladaDocument document;
    document.loadFromFile(fixture("shared_tile_a.dae"));
    const std::string key = meshCacheKey(document);
    EXPECT_TRUE(key.starts_with(fixture("shared_tile_a.dae") + "|")) << key;
    EXPECT_TRUE(key.ends_with("#shared-tile")) << key;
    const MeshCacheRecord* record = MeshCache::instance().find(key);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->vertexBuffer, again.vertexBuffer);
    EXPECT_EQ(MeshCache::instance().find("shared-tile"), nullptr);
}

TEST(MeshGL, AModelWithoutGeometryGivesAnEmptyMeshInEveryMode)
{
    const Mesh vbo = buildIn(VBO, "no_geometry.dae");
    EXPECT_EQ(vbo.vertexBuffer, 0u);
    EXPECT_EQ(vbo.vertexCount, 0u);
    EXPECT_EQ(vbo.triangleCount, 0u);
    EXPECT_EQ(MeshCache::instance().find("unknown_object"), nullptr);
    ColladaDocument document;
    document.loadFromFile(fixture("no_geometry.dae"));
    EXPECT_EQ(MeshCache::instance().find(meshCacheKey(document)), nullptr);

    const Mesh list = buildIn(DisplayList, "no_geometry.dae");
    EXPECT_EQ(list.triangleCount, 0u);
    EXPECT_EQ(drawListAndRead(list.displayList, 160, 120), (std::vector<std::uint8_t>{0, 0, 0}));

    // A missing file is no different.
    const Mesh missing = buildIn(VBO, "no_such_file.dae");
    EXPECT_EQ(missing.vertexBuffer, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
