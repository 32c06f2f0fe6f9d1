// The kinds of copy the columns keep: released once unused for a while, with the texture checks that
// went with them; forgotten when a texture is deleted, since GL may give its name to another texture;
// and never made for copies that have no vertex buffer to stand a column on.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/render/BoxColumns.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/resources/Texture.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TestScene.h"

namespace libkub {
namespace {

using kubora::test::ModelObject;

// Towers of copies of the game's die, one tower per size, each `high` dice high, at x = 0, 1, 2, ...
class Towers {
  public:
    Towers(int sizes, int high, unsigned texture = 0)
    {
        const std::unique_ptr<Model> die = loadModel("data/die.dae");
        for (int tower = 0; tower < sizes; ++tower) {
            const float size = 0.1f + 0.01f * static_cast<float>(tower);
            for (int level = 0; level < high; ++level) {
                auto copy = std::make_unique<Model>(*die);
                if (texture != 0) {
                    copy->textures = {texture};
                }
                copy->setSize(size, size, size);
                copy->setPosition(static_cast<float>(tower), 2.0f * size * static_cast<float>(level), 0.0f);
                objects.push_back(std::make_unique<ModelObject>(std::move(copy)));
            }
        }
    }
    // The towers whose index is below `count`.
    std::vector<DrawableObject*> firstTowers(int count, int high) const
    {
        std::vector<DrawableObject*> list;
        for (int i = 0; i < count * high; ++i) {
            list.push_back(objects[static_cast<std::size_t>(i)].get());
        }
        return list;
    }

    std::vector<std::unique_ptr<ModelObject>> objects;
};

// One frame's use of the columns: gathered, drawn into the depth buffer (which forgets them), ended.
void useInAFrame(BoxColumns& columns, const std::vector<DrawableObject*>& list)
{
    std::vector<std::uint32_t> rest;
    columns.gather(list, rest);
    columns.drawDepth();
    columns.endFrame();
}

class DiceColumnKinds : public testing::Test {
  protected:
    void TearDown() override { RenderSettings::instance().renderMode = VBO; }
};

TEST_F(DiceColumnKinds, KindsUnusedForAWhileAreReleasedWithTheirTextureChecks)
{
    constexpr int sizes = 10;
    constexpr int high = 3;
    const Towers towers(sizes, high);
    BoxColumns columns;
    std::vector<std::uint32_t> rest;
    columns.gather(towers.firstTowers(sizes, high), rest);
    EXPECT_EQ(columns.columns(), static_cast<std::size_t>(sizes));
    EXPECT_TRUE(rest.empty());
    EXPECT_EQ(columns.kindCount(), static_cast<std::size_t>(sizes));
    EXPECT_EQ(columns.textureCheckCount(), 1u);
    columns.drawDepth();

    // Only the first tower stays in use: the other kinds go, the first one stays and is still found.
    for (unsigned frame = 0; frame <= BoxColumns::framesKept; ++frame) {
        useInAFrame(columns, towers.firstTowers(1, high));
    }
    EXPECT_EQ(columns.kindCount(), 1u);
    columns.gather(towers.firstTowers(sizes, high), rest);
    EXPECT_EQ(columns.columns(), static_cast<std::size_t>(sizes)) << "kinds made again after a release";
    EXPECT_EQ(columns.copiesInColumns(), static_cast<std::size_t>(sizes * high));
    columns.drawDepth();

    // Nothing in use: every kind goes, and the texture check with the last kind of its texture.
    for (unsigned frame = 0; frame <= BoxColumns::framesKept + 1; ++frame) {
        useInAFrame(columns, {});
    }
    EXPECT_EQ(columns.kindCount(), 0u);
    EXPECT_EQ(columns.textureCheckCount(), 0u);
}

// A 2 x 2 texture under the bound name, sampled by these filters.
void fillTexture(unsigned name, GLint minifying)
{
    glBindTexture(GL_TEXTURE_2D, name);
    const GLubyte pixels[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexImage2D(GL_TEXTURE_2D, 1, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minifying);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(DiceColumnKinds, ATextureDeletedAndItsNameGivenAgainIsCheckedAgain)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    fillTexture(name, GL_LINEAR);
    const Towers towers(1, 4, name);
    BoxColumns columns;
    std::vector<std::uint32_t> rest;
    columns.gather(towers.firstTowers(1, 4), rest);
    EXPECT_EQ(columns.columns(), 1u) << "one level sampled: a column";
    columns.drawDepth();

    // The same name for a texture with mipmaps, whose levels a column's repeated coordinate would mix.
    deleteTextures(1, &name);
    fillTexture(name, GL_LINEAR_MIPMAP_LINEAR); // binding an unused name makes a texture of it
    ASSERT_EQ(glIsTexture(name), GL_TRUE);
    columns.gather(towers.firstTowers(1, 4), rest);
    EXPECT_EQ(columns.columns(), 0u) << "mipmapped: no column";
    EXPECT_EQ(rest.size(), 4u);
    columns.drawDepth();
    deleteTextures(1, &name);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DiceColumnKinds, ACopyWithoutAVertexBufferNeverStandsInAColumn)
{
    for (const RenderMode mode : {Immediate, DisplayList}) {
        RenderSettings::instance().renderMode = mode; // read while the die loads
        const Towers towers(2, 5);
        BoxColumns columns;
        std::vector<std::uint32_t> rest;
        columns.gather(towers.firstTowers(2, 5), rest);
        EXPECT_EQ(columns.columns(), 0u) << "mode " << mode;
        EXPECT_EQ(rest.size(), 10u) << "mode " << mode;
        columns.drawDepth();
    }
}

} // namespace
} // namespace libkub
