// The spot light's share computed only where it can show: with the spot light over tiles across the
// board (corners, edges, middle) on a full board and on tall stacks, the frame stays within the picture
// bound of the frame shaded everywhere by the full program, while the full program shades only a
// rectangle of the window; and a frame with an object that draws more than its model has no split, and
// that object casts its shadow wherever its model stands; on a float depth buffer the split keeps within
// the bound too.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/EdgeMap.h"
#include "engine/scene/Camera.h"
#include "engine/resources/DataFolder.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "tests/support/AssembledApplication.h"
#include "engine/resources/ShadowMapping.h"
#include "tests/support/GlTestContext.h"
#include "engine/resources/OffscreenFrame.h"
#include "tests/support/QuarterBoard.h"
#include "tests/support/PictureBound.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

class SpotLightShading : public testing::TestWithParam<std::size_t> {};

TEST_P(SpotLightShading, StaysWithinALevelOfTheFullProgramWhereverTheSpotLightHangs)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    const std::size_t dicePerTile = GetParam();
    kubora::test::giveEachPlayerAQuarter(*application, dicePerTile);
    if (dicePerTile > 10) {
        application->camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
    }
    libkub::SpotLightSource& spot = *application->spotLight;

    int rectangles = 0;
    const int places[][2] = {{0, 0}, {0, 7}, {7, 0}, {7, 7}, {3, 4}, {4, 3}, {0, 4}, {5, 7}, {2, 2}};
    for (const auto& place : places) {
        const libkub::Vector3f over =
            application->board->tileAt(place[0], place[1])->model()->mesh.translation;
        spot.position = {over.x, spot.position.g, over.z, 1.0f};
        spot.direction = {0.0f, -1.0f, 0.0f};
        const std::string where =
            "spot over tile " + std::to_string(place[0]) + "," + std::to_string(place[1]);

        renderer.plan.spotOnlyWhereItShows = false;
        renderer.render();
        // Held to the full program's frame, with the exact frame's edges.
        const kubora::test::ExactFrame everywhere{kubora::test::readFrame(width, height),
                                                  libkub::drawEdgeMap(renderer, width, height)};
        renderer.plan.spotOnlyWhereItShows = true;
        renderer.render();
        const kubora::test::Frame whereItShows = kubora::test::readFrame(width, height);

        // Left out, the spot light's share moves a channel by at most one level; where a surface in its
        // reach all but touches one out of it (a die on the next stack), the pull may swap the two at
        // an edge pixel.
        EXPECT_TRUE(kubora::test::withinBound(everywhere, whereItShows, kubora::test::PictureBound::shortcuts,
                                              "spot-light-shading-" + std::to_string(dicePerTile) + "-" +
                                                  std::to_string(place[0]) + std::to_string(place[1]) +
                                                  ".png"))
            << where;
        const auto& shading = renderer.spotShading;
        if (shading.where == libkub::SceneRenderer::SpotShading::Rectangle) {
            ++rectangles;
            EXPECT_LT(shading.rect.width * shading.rect.height, width * height / 2) << where;
            EXPECT_GT(shading.objects, 0u) << where;
            EXPECT_LT(shading.objects, renderer.objects.size() / 2) << where;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << where;
    }
    EXPECT_GE(rectangles, 7) << "the spot light is shaded in a rectangle almost everywhere on the board";
}

INSTANTIATE_TEST_SUITE_P(FullBoardAndTallStacks, SpotLightShading, testing::Values(6u, 94u),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return info.param > 10 ? std::string("TallStacks") : std::string("FullBoard");
                         });

// A die whose draw() also draws a second copy of it elsewhere: what it draws reaches beyond its model.
class DieWithAShadow : public libkub::DrawableObject {
  public:
    DieWithAShadow(libkub::Vector3f place, libkub::Vector3f second)
        : owned(libkub::loadModel(libkub::dataFile("die.dae"))), offset(second - place)
    {
        owned->setPosition(place.x, place.y, place.z);
        owned->setSize(0.25f, 0.25f, 0.25f);
    }
    void draw() override
    {
        owned->draw();
        glPushMatrix();
        glTranslatef(offset.x, offset.y, offset.z);
        owned->draw();
        glPopMatrix();
    }
    libkub::Model* model() override { return owned.get(); }

  private:
    std::unique_ptr<libkub::Model> owned;
    libkub::Vector3f offset;
};

TEST(SpotLightSplit, AnObjectThatDrawsMoreThanItsModelMeansNoSplitAndAlwaysCastsItsShadow)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    kubora::test::giveEachPlayerAQuarter(*application, 1);
    libkub::SpotLightSource& spot = *application->spotLight;
    const libkub::Vector3f over = application->board->tileAt(3, 4)->model()->mesh.translation;
    spot.position = {over.x, spot.position.g, over.z, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
    // Its model stands on a far corner tile, out of the spot light's reach and view; its second copy
    // floats right under the spot light, lit by it and casting a shadow onto the tile.
    const libkub::Vector3f corner = application->board->tileAt(7, 7)->model()->mesh.translation;
    DieWithAShadow die({corner.x, corner.y + 1.2f, corner.z}, {over.x - 0.5f, over.y + 1.2f, over.z});
    renderer.addObject(&die);
    // Close enough that the second copy's faces are many pixels wide.
    application->camera->placeAt({over.x + 4.0f, over.y + 10.0f, over.z - 10.0f}, {over.x, over.y, over.z});

    const kubora::test::ExactFrame exact = kubora::test::drawExactFrame(renderer, width, height);
    renderer.render();
    const kubora::test::Frame frame = kubora::test::readFrame(width, height);

    EXPECT_EQ(renderer.spotShading.where, libkub::SceneRenderer::SpotShading::Everywhere);
    EXPECT_TRUE(kubora::test::withinBound(exact, frame, kubora::test::PictureBound::shortcuts,
                                          "spot-light-split-draws-more.png"));
    renderer.removeObject(&die);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The camera pass of the frame just drawn, drawn again into the target (the frame's own passes end on
// the window's framebuffer), with no sky behind it.
kubora::test::Frame cameraPassInto(libkub::SceneRenderer& renderer, const libkub::OffscreenFrame& target)
{
    renderer.render();
    target.bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.drawLitCameraPass();
    glUseProgram(0);
    kubora::test::Frame frame = kubora::test::readFrame(target.width, target.height);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return frame;
}

TEST(SpotLightSplit, OnAFloatDepthBufferStaysWithinTheBoundOfTheExactFrame)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    kubora::test::giveEachPlayerAQuarter(*application, 94);
    application->camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
    libkub::SpotLightSource& spot = *application->spotLight;

    const libkub::OffscreenFrame target(width, height, GL_DEPTH_COMPONENT32F);
    ASSERT_TRUE(target.complete());
    EXPECT_TRUE(libkub::drawsIntoFloatDepth());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    EXPECT_FALSE(libkub::drawsIntoFloatDepth()) << "the window's depth buffer keeps fixed-point depth";

    for (const auto& place : {std::array<int, 2>{3, 4}, {0, 0}, {5, 7}}) {
        const libkub::Vector3f over =
            application->board->tileAt(place[0], place[1])->model()->mesh.translation;
        spot.position = {over.x, spot.position.g, over.z, 1.0f};
        spot.direction = {0.0f, -1.0f, 0.0f};
        renderer.plan = libkub::FramePlan::exact();
        kubora::test::ExactFrame exact{cameraPassInto(renderer, target), {}};
        exact.edges = libkub::drawEdgeMap(renderer, width, height, GL_DEPTH_COMPONENT32F);
        renderer.plan = libkub::FramePlan{};
        const kubora::test::Frame frame = cameraPassInto(renderer, target);
        EXPECT_EQ(renderer.spotShading.where, libkub::SceneRenderer::SpotShading::Rectangle);
        EXPECT_TRUE(kubora::test::withinBound(exact, frame, kubora::test::PictureBound::shortcuts,
                                              "spot-light-float-depth-" + std::to_string(place[0]) +
                                                  std::to_string(place[1]) + ".png"));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
