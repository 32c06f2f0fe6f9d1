// The assembled scene: the drawing order of the object list, the pickable tiles, the two lights,
// the players and the first turn, the duck and the board.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <typeinfo>

#include "app/Application.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/Die.h"
#include "game/Duck.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/StatusBar.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/Expectations.h"
#include "tests/support/GlTestContext.h"

namespace {

using kubora::test::expectColour;
using kubora::test::expectNear;
using libkub::Color4f;
using libkub::Vector3f;

class AssembledScene : public testing::Test {
  protected:
    kubora::test::AssembledApplication application;
};

TEST_F(AssembledScene, ObjectListHoldsTheTilesThenTheStartingDiceThenTheDuckThenTheBoard)
{
    const auto& objects = application->renderer->objects;
    ASSERT_EQ(objects.size(), 64u + 20u + 2u);
    const Kubora::Board& board = *application->board;
    for (std::size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(objects[i], board.tiles[i].get()) << "tile " << i;
    }
    // The dice in the players' order: red's corner first, yellow's last, five each.
    const Kubora::BoardTile* corners[] = {board.tileAt(7, 7), board.tileAt(7, 0), board.tileAt(0, 0),
                                          board.tileAt(0, 7)};
    for (std::size_t d = 0; d < 20; ++d) {
        const Kubora::BoardTile& corner = *corners[d / 5];
        ASSERT_EQ(corner.diceCount(), 5u);
        EXPECT_EQ(objects[64 + d], corner.dice[d % 5]) << "die " << d;
        EXPECT_EQ(typeid(*objects[64 + d]), typeid(Kubora::Die));
    }
    EXPECT_EQ(objects[84], application->duck.get());
    EXPECT_EQ(objects[85], application->board.get());
}

TEST_F(AssembledScene, OnlyTheTilesArePickableInBoardOrder)
{
    const auto& selectables = application->renderer->selectables;
    ASSERT_EQ(selectables.size(), 64u);
    for (std::size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(selectables[i], application->board->tiles[i].get()) << "tile " << i;
    }
}

TEST_F(AssembledScene, PointLightThenSpotLightWithTheirParameters)
{
    const libkub::SceneRenderer& renderer = *application->renderer;
    ASSERT_EQ(renderer.lights.size(), 2u);
    ASSERT_EQ(renderer.lights[0], application->pointLight.get());
    ASSERT_EQ(renderer.lights[1], application->spotLight.get());

    const libkub::PointLightSource& point = *application->pointLight;
    EXPECT_EQ(point.lightNumber, static_cast<GLenum>(GL_LIGHT0));
    expectColour(point.position, {12.0f, 15.0f, 12.0f, 0.0f}, "point position");
    expectColour(point.ambient, {0.3f, 0.3f, 0.3f, 0.4f}, "point ambient");
    expectColour(point.diffuse, {0.6f, 0.6f, 0.6f, 1.0f}, "point diffuse");
    expectColour(point.specular, {0.1f, 0.1f, 0.2f, 0.5f}, "point specular");

    const libkub::SpotLightSource& spot = *application->spotLight;
    EXPECT_EQ(spot.lightNumber, static_cast<GLenum>(GL_LIGHT1));
    expectColour(spot.position, {0.0f, 6.0f, 0.0f, 1.0f}, "spot position");
    expectColour(spot.ambient, {0.0f, 0.0f, 0.0f, 0.0f}, "spot ambient");
    expectColour(spot.diffuse, {1.0f, 1.0f, 1.0f, 1.0f}, "spot diffuse");
    expectColour(spot.specular, {1.0f, 1.0f, 1.0f, 1.0f}, "spot specular");
    EXPECT_FLOAT_EQ(spot.exponent, 36.0f);
    EXPECT_FLOAT_EQ(spot.cutOff, 64.0f);
    // Still the default direction: no pointer has rested on a tile yet.
    expectNear(spot.direction, libkub::SpotLightSource{}.direction, 0.0f, "spot direction");

    // Both shadow maps were prepared: each light has its framebuffer and depth texture.
    for (const libkub::LightSource* light : renderer.lights) {
        EXPECT_NE(light->framebuffer, 0u);
        EXPECT_NE(light->depthTexture, 0xFFFFFFFFu);
    }
}

TEST_F(AssembledScene, FourPlayersInTurnOrderAndRedsTurnRunning)
{
    const Kubora::Game& game = *application->game;
    struct Expected {
        Kubora::PlayerKind kind;
        float red, green, blue;
    };
    const Expected expected[] = {{Kubora::Computer, 1.0f, 0.0f, 0.0f},
                                 {Kubora::Computer, 0.0f, 1.0f, 0.0f},
                                 {Kubora::Human, 0.0f, 0.0f, 1.0f},
                                 {Kubora::Computer, 1.0f, 1.0f, 0.0f}};
    ASSERT_EQ(game.players.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const Kubora::Player& player = *application->players[i];
        EXPECT_EQ(game.players[i], &player);
        EXPECT_EQ(player.index, static_cast<std::int32_t>(i));
        EXPECT_EQ(player.kind, expected[i].kind) << "player " << i;
        expectColour(player.baseColour, {expected[i].red, expected[i].green, expected[i].blue, 1.0f},
                     "base colour");
    }
    EXPECT_EQ(game.board, application->board.get());
    EXPECT_EQ(game.renderer, application->renderer.get());
    EXPECT_EQ(game.turnDisplay, application->statusBar.get());
    EXPECT_EQ(game.currentPlayer, application->players[0].get());
    ASSERT_NE(game.timer, nullptr);
    EXPECT_GT(game.timer->end, 0);

    // The status bar shows red's computer turn and is the renderer's HUD element.
    const Kubora::StatusBar& bar = *application->statusBar;
    EXPECT_EQ(bar.currentKind, Kubora::Computer);
    EXPECT_FLOAT_EQ(bar.markColour[0], 0.75f);
    EXPECT_FLOAT_EQ(bar.markColour[1], 0.0f);
    EXPECT_FLOAT_EQ(bar.markColour[2], 0.0f);
    ASSERT_EQ(application->renderer->hudElements.size(), 1u);
    EXPECT_EQ(application->renderer->hudElements[0], &bar);
}

TEST_F(AssembledScene, DuckOffTheFarCornerAndBoardUnderTheTiles)
{
    libkub::Model& duck = *application->duck->model();
    expectNear(duck.mesh.translation, {24.0f, -1.8f, 23.4f}, 1e-6f, "duck position");
    expectNear(duck.mesh.scale, {0.02f, 0.02f, 0.02f}, 1e-7f, "duck size");
    EXPECT_FLOAT_EQ(duck.mesh.rotation.angle, 46.0f);
    expectNear({duck.mesh.rotation.x, duck.mesh.rotation.y, duck.mesh.rotation.z}, {0.0f, 1.0f, 0.0f}, 0.0f,
               "duck axis");
    expectNear(duck.bounds().centre, {24.0f, -1.8f, 23.4f}, 1e-5f, "duck box");

    libkub::Model& board = *application->board->model();
    expectNear(board.mesh.scale, {16.8f, 3.0f, 16.8f}, 1e-6f, "board size");
    expectNear(board.mesh.translation, {10.0f, -2.0f, 9.0f}, 1e-6f, "board position");
    expectNear(board.bounds().centre, {10.0f, -2.0f, 9.0f}, 1e-5f, "board box");

    // The tiles from (0, -1, 0) to (21, -1, 21) in steps of 3.
    expectNear(application->board->tileAt(0, 0)->model()->bounds().centre, {0.0f, -1.0f, 0.0f}, 1e-6f,
               "first tile");
    expectNear(application->board->tileAt(7, 7)->model()->bounds().centre, {21.0f, -1.0f, 21.0f}, 1e-6f,
               "last tile");
}

} // namespace
