// Hidden objects left out: in every render mode, for every board of towers, the frame with every
// shortcut stays within the picture bound of the exact frame and of the same frame with only the hidden
// objects drawn; and where rows of towers stand in front of one another, objects are left out and the
// frame rasterises at least a tenth fewer fragments (llvmpipe counts the fragment shader invocations of
// every block a triangle touches, hidden or not: only drawing less lowers it).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/EdgeMap.h"
#include "engine/render/FramePlan.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/RenderSettings.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"
#include "tests/support/ShortcutPictures.h"
#include "tests/support/TowerScenes.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

// A frame drawn under one plan, after one that let the lights keep their depth textures: its picture,
// the fragment shader invocations it counted and the objects its camera pass left out.
struct PlannedFrame {
    kubora::test::Frame picture;
    GLuint invocations = 0;
    std::size_t hidden = 0;
};

PlannedFrame drawUnder(libkub::SceneRenderer& renderer, const libkub::FramePlan& plan)
{
    renderer.plan = plan;
    renderer.render();
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, query);
    renderer.render();
    glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    PlannedFrame frame;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &frame.invocations);
    glDeleteQueries(1, &query);
    frame.picture = kubora::test::readFrame(width, height);
    frame.hidden = renderer.hiddenObjects;
    return frame;
}

using HiddenObjects = kubora::test::TowerSceneTest;

TEST_P(HiddenObjects, KeepTheFrameWithinTheBoundAndRasteriseLessWhereTowersStandInRows)
{
    ASSERT_TRUE(GLEW_ARB_pipeline_statistics_query) << "llvmpipe counts fragment shader invocations";

    libkub::FramePlan everythingDrawn;
    everythingDrawn.skipHiddenObjects = false;
    const PlannedFrame skipping = drawUnder(renderer, libkub::FramePlan{});
    const PlannedFrame drawingAll = drawUnder(renderer, everythingDrawn);
    const kubora::test::ExactFrame exact{drawUnder(renderer, libkub::FramePlan::exact()).picture,
                                         libkub::drawEdgeMap(renderer, width, height)};
    renderer.plan = libkub::FramePlan{};
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::string name = this->name();
    const std::string file = this->file("hidden-objects");
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, skipping.picture, file + ".png")) << name;
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, drawingAll.picture, skipping.picture,
                                                       file + "-against-all-drawn.png"))
        << name;
    EXPECT_EQ(drawingAll.hidden, 0u) << name;
    if (scene.listHoldsFarTowersFirst) {
        EXPECT_GT(skipping.hidden, 0u) << name;
        EXPECT_LT(skipping.invocations, drawingAll.invocations - drawingAll.invocations / 10)
            << name << ": hidden left out " << skipping.invocations << ", all drawn "
            << drawingAll.invocations;
    }
    if (scene.listHoldsFarTowersFirst) {
        // The towers nearest the eye step aside, their dice moved but not replaced, the camera where it
        // stood: first the top ten dice of each (a few moved, so the frame shows again what they may
        // have uncovered), then all the others (so many that the frame finds the hidden ones afresh).
        // Each frame is the first after its move, as a gliding die's frames are.
        const auto moveNearTowers = [&](std::size_t fromTop, std::size_t count) {
            for (int row = 6; row < 8; ++row) {
                for (int column = 0; column < 8; ++column) {
                    Kubora::BoardTile& tile = *application->board->tileAt(row, column);
                    for (std::size_t k = 0; k < tile.dice.size(); ++k) {
                        const std::size_t fromTheTop = tile.dice.size() - 1 - k;
                        if (fromTheTop >= fromTop && fromTheTop < fromTop + count) {
                            kubora::test::moveDie(tile, k, {0.0f, 0.0f, 0.9f});
                        }
                    }
                }
            }
        };
        for (const auto& [fromTop, count, what] :
             {std::tuple{std::size_t{0}, std::size_t{10}, "the near towers' top dice moved"},
              std::tuple{std::size_t{10}, std::size_t{1000}, "the rest of the near towers moved"}}) {
            moveNearTowers(fromTop, count);
            renderer.plan = libkub::FramePlan{};
            renderer.render();
            const kubora::test::Frame afterMove = kubora::test::readFrame(width, height);
            const kubora::test::ExactFrame exactAfterMove{
                drawUnder(renderer, libkub::FramePlan::exact()).picture,
                libkub::drawEdgeMap(renderer, width, height)};
            renderer.plan = libkub::FramePlan{};
            EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exactAfterMove, afterMove,
                                                               file + "-" + std::to_string(fromTop) + ".png"))
                << name << ", " << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScenesAndModes, HiddenObjects, kubora::test::everyTowerSceneInEveryMode(),
                         kubora::test::towerCaseName);

} // namespace
