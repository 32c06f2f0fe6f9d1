#pragma once
// Boards of dice towers for the picture tests of the frame's shortcuts that draw dice differently (as
// columns, nearest first): tall stacks from above, towers close by at their side, dice lifted out of
// their columns and one gliding past, the full board at the start view, and towers in rows seen low from
// the board's far corner, each with the spot light over a tile.
#include <functional>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "app/Application.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Die.h"
#include "app/FrameCallbacks.h"
#include "engine/render/SceneRenderer.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/QuarterBoard.h"

namespace kubora::test {

struct TowerScene {
    const char* name;
    std::function<void(Kubora::Application&)> build;
    // Whether the view looks at rows of towers standing in front of one another from the side where the
    // scene's list holds the far rows first (the list runs row by row from the corner at the origin).
    bool listHoldsFarTowersFirst = false;
};

inline void spotOver(Kubora::Application& application, int row, int column)
{
    const libkub::Vector3f over = application.board->tileAt(row, column)->position();
    application.spotLight->position = {over.x, 6.0f, over.z, 1.0f};
    application.spotLight->direction = {0.0f, -1.0f, 0.0f};
}

inline void moveDie(Kubora::BoardTile& tile, std::size_t k, libkub::Vector3f by)
{
    libkub::Model& model = *tile.dice[k]->model();
    const libkub::Vector3f at = model.mesh.translation + by;
    model.setPosition(at.x, at.y, at.z);
}

inline const TowerScene towerScenes[] = {
    {"tall stacks from above",
     [](Kubora::Application& application) {
         giveEachPlayerAQuarter(application, 94);
         application.camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
         spotOver(application, 3, 4);
     }},
    {"towers close by at their side",
     [](Kubora::Application& application) {
         giveEachPlayerAQuarter(application, 24);
         application.camera->placeAt({-2.5f, 1.5f, -3.0f}, {1.0f, 2.0f, 3.0f});
         spotOver(application, 0, 0);
     }},
    {"dice lifted out of their columns and one gliding past",
     [](Kubora::Application& application) {
         giveEachPlayerAQuarter(application, 30);
         application.camera->placeAt({-6.0f, 9.0f, -6.0f}, {3.0f, 3.0f, 3.0f});
         Kubora::Board& board = *application.board;
         moveDie(*board.tileAt(0, 0), 10,
                 {0.0f, 0.1f, -0.8f}); // a gap, the dice above it resting on each other
         moveDie(*board.tileAt(0, 1), 29, {0.0f, 0.05f, 0.0f}); // the top die a little above its column
         moveDie(*board.tileAt(1, 0), 7, {1.3f, 0.13f, 0.9f});  // on its way to the next tile
         spotOver(application, 1, 1);
     }},
    {"full board at the start view",
     [](Kubora::Application& application) {
         giveEachPlayerAQuarter(application, 6);
         spotOver(application, 4, 3);
     }},
    {"towers in rows seen low from the far corner",
     [](Kubora::Application& application) {
         giveEachPlayerAQuarter(application, 40);
         application.camera->placeAt({30.0f, 12.0f, 30.0f}, {9.0f, 4.0f, 9.0f});
         spotOver(application, 6, 5);
     },
     true}};

// A scene of the table in a render mode, as the tests' cases take them.
using TowerCase = std::tuple<int, libkub::RenderMode>;

inline const char* renderModeName(libkub::RenderMode mode)
{
    return mode == libkub::VBO ? "vbo" : (mode == libkub::Immediate ? "immediate" : "displaylist");
}

// Every scene of the table in every render mode, named scene<number>_<mode>.
inline auto everyTowerSceneInEveryMode()
{
    return testing::Combine(testing::Range(0, static_cast<int>(std::size(towerScenes))),
                            testing::Values(libkub::VBO, libkub::Immediate, libkub::DisplayList));
}

inline std::string towerCaseName(const testing::TestParamInfo<TowerCase>& info)
{
    return "scene" + std::to_string(std::get<0>(info.param)) + "_" + renderModeName(std::get<1>(info.param));
}

// The tests of the tower scenes: each case's scene assembled in its render mode (which the models read
// while they load) at the tests' window size, without the HUD, and the render mode put back after.
class TowerSceneTest : public testing::TestWithParam<TowerCase> {
  protected:
    TowerSceneTest()
        : scene(towerScenes[std::get<0>(GetParam())]), mode(usedRenderMode(std::get<1>(GetParam()))),
          renderer(*application->renderer)
    {
        Kubora::onReshape(glTestWindowWidth, glTestWindowHeight);
        renderer.hudElements.clear();
        scene.build(*application);
    }
    ~TowerSceneTest() override { libkub::RenderSettings::instance().renderMode = libkub::VBO; }

    // The scene and mode, for messages, and a file name for the pictures of a failure.
    std::string name() const { return std::string(scene.name) + " (" + renderModeName(mode) + ")"; }
    std::string file(const std::string& prefix) const
    {
        return prefix + "-" + std::to_string(std::get<0>(GetParam())) + "-" + renderModeName(mode);
    }

    const TowerScene& scene;
    const libkub::RenderMode mode;
    AssembledApplication application;
    libkub::SceneRenderer& renderer;

  private:
    static libkub::RenderMode usedRenderMode(libkub::RenderMode mode)
    {
        libkub::RenderSettings::instance().renderMode = mode;
        return mode;
    }
};

} // namespace kubora::test
