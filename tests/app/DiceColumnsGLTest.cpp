// Dice resting on one another drawn as one box per column: in every render mode, with columns on and
// off, the frame stays within the picture bound of the frame with every shortcut off, for towers seen
// from above, from close by at their side (the die boundaries large on screen), with dice lifted out of
// a column and one gliding past, and under the spot light; in the vertex-buffer mode the columns are
// really drawn. Columns on and columns off are also compared with each other.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/EdgeMap.h"
#include "engine/scene/Camera.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Die.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"
#include "tests/support/ShortcutPictures.h"
#include "tests/support/QuarterBoard.h"

namespace {

using libkub::RenderMode;

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

struct TowerScene {
    const char* name;
    std::function<void(Kubora::Application&)> build;
};

void spotOver(Kubora::Application& application, int row, int column)
{
    const libkub::Vector3f over = application.board->tileAt(row, column)->position();
    application.spotLight->position = {over.x, 6.0f, over.z, 1.0f};
    application.spotLight->direction = {0.0f, -1.0f, 0.0f};
}

void moveDie(Kubora::BoardTile& tile, std::size_t k, libkub::Vector3f by)
{
    libkub::Model& model = *tile.dice[k]->model();
    const libkub::Vector3f at = model.mesh.translation + by;
    model.setPosition(at.x, at.y, at.z);
}

const TowerScene scenes[] = {
    {"tall stacks from above",
     [](Kubora::Application& application) {
         kubora::test::giveEachPlayerAQuarter(application, 94);
         application.camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
         spotOver(application, 3, 4);
     }},
    {"towers close by at their side",
     [](Kubora::Application& application) {
         kubora::test::giveEachPlayerAQuarter(application, 24);
         application.camera->placeAt({-2.5f, 1.5f, -3.0f}, {1.0f, 2.0f, 3.0f});
         spotOver(application, 0, 0);
     }},
    {"dice lifted out of their columns and one gliding past",
     [](Kubora::Application& application) {
         kubora::test::giveEachPlayerAQuarter(application, 30);
         application.camera->placeAt({-6.0f, 9.0f, -6.0f}, {3.0f, 3.0f, 3.0f});
         Kubora::Board& board = *application.board;
         moveDie(*board.tileAt(0, 0), 10,
                 {0.0f, 0.1f, -0.8f}); // a gap, the dice above it resting on each other
         moveDie(*board.tileAt(0, 1), 29, {0.0f, 0.05f, 0.0f}); // the top die a little above its column
         moveDie(*board.tileAt(1, 0), 7, {1.3f, 0.13f, 0.9f});  // on its way to the next tile
         spotOver(application, 1, 1);
     }},
    {"full board at the start view", [](Kubora::Application& application) {
         kubora::test::giveEachPlayerAQuarter(application, 6);
         spotOver(application, 4, 3);
     }}};

const char* modeName(RenderMode mode)
{
    return mode == libkub::VBO ? "vbo" : (mode == libkub::Immediate ? "immediate" : "displaylist");
}

class DiceColumns : public testing::TestWithParam<std::tuple<int, RenderMode>> {
  protected:
    void TearDown() override { libkub::RenderSettings::instance().renderMode = libkub::VBO; }
};

TEST_P(DiceColumns, KeepTheFrameWithinTheBoundOfTheExactFrame)
{
    const TowerScene& scene = scenes[std::get<0>(GetParam())];
    const RenderMode mode = std::get<1>(GetParam());
    libkub::RenderSettings::instance().renderMode = mode; // read while the models load
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    scene.build(*application);

    const auto frame = [&](bool exact, bool columns) {
        renderer.plan = exact ? libkub::FramePlan::exact() : libkub::FramePlan{};
        renderer.plan.stackColumns = columns;
        renderer.render();
        renderer.render();
        return kubora::test::readFrame(width, height);
    };
    // Columns first, then the exact frame: the statistic is the exact frame's own, not left from before.
    const kubora::test::Frame withColumns = frame(false, true);
    const std::size_t copies = renderer.columnShading.copies;
    const kubora::test::ExactFrame exact{frame(true, false), libkub::drawEdgeMap(renderer, width, height)};
    EXPECT_EQ(renderer.columnShading.copies, 0u) << "the exact frame draws every die on its own";
    const kubora::test::Frame without = frame(false, false);
    EXPECT_EQ(renderer.columnShading.copies, 0u) << "columns off";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::string name = std::string(scene.name) + " (" + modeName(mode) + ")";
    if (mode == libkub::VBO) {
        EXPECT_GT(copies, renderer.objects.size() / 2) << name << ": most dice stand in columns";
    }
    // Columns on and off each within the bound of the exact frame, and of each other: the columns may
    // not take up what the bound allows all the other shortcuts together.
    const std::string file = "columns-" + std::to_string(std::get<0>(GetParam())) + "-" + modeName(mode);
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, withColumns, file + "-on.png"))
        << name << ", columns on";
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, without, file + "-off.png"))
        << name << ", columns off";
    EXPECT_TRUE(
        kubora::test::shortcutFrameWithinBound(exact, without, withColumns, file + "-on-against-off.png"))
        << name << ", columns on against columns off";
}

INSTANTIATE_TEST_SUITE_P(ScenesAndModes, DiceColumns,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(scenes))),
                                          testing::Values(libkub::VBO, libkub::Immediate,
                                                          libkub::DisplayList)),
                         [](const testing::TestParamInfo<std::tuple<int, RenderMode>>& info) {
                             return std::string("scene") + std::to_string(std::get<0>(info.param)) + "_" +
                                    modeName(std::get<1>(info.param));
                         });

} // namespace
