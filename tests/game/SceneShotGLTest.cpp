// A whole scene after a few turns (board, tiles, dice, duck, lights, sky and status bar), drawn into
// the test window and written to build/game-scene.png for a look; checks the band and the error state.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/SpotLightSource.h"
#include "hud/StatusBar.h"
#include "tests/game/GameWorld.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PngWriter.h"

using kubora::test::testSecond;

TEST(GameScene, BoardDiceAndStatusBarAfterAFewTurns)
{
    const int width = kubora::test::glTestWindowWidth;
    const int height = kubora::test::glTestWindowHeight;
    // The game's own scene, assembled as start-up does, with the clock under the test's control from
    // the first turn on.
    Kubora::setCalendarClock([] { return testSecond; });
    testSecond = 6'000'000;
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    libkub::SpotLightSource& spot = *application->spotLight;
    Kubora::Board& board = *application->board;
    Kubora::StatusBar& statusBar = *application->statusBar;
    Kubora::Game& game = *application->game;
    auto& players = application->players;

    // Two rounds, the human passing at once, then the human's turn with a selection and the hover
    // light over it; an attack of red's shows in the bar.
    for (int frame = 0; frame < 400; ++frame) {
        game.update(100.0);
        if (game.currentPlayer == players[2].get()) {
            if (frame > 200) {
                break;
            }
            game.timer->end = 0;
        }
        testSecond += frame % 3 == 0 ? 1 : 0;
    }
    ASSERT_EQ(game.currentPlayer, players[2].get());
    game.update(100.0);
    game.handleClick(board.tileAt(0, 0));
    spot.position = {0.0f, 6.0f, 0.0f, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
    players[2]->attackerRolls = {6, 3, 0, 5};
    players[2]->attackerColour = {0.0f, 0.0f, 0.75f};
    players[2]->defenderRolls = {2, 1};
    players[2]->defenderColour = {0.75f, 0.0f, 0.0f};
    game.update(16.0);
    statusBar.framesPerSecond = 59.9f;

    renderer.render();
    glFinish();
    glReadBuffer(GL_BACK);
    const std::vector<std::uint8_t> bottomUp = kubora::test::readPixelsRgb(0, 0, width, height);
    Kubora::setCalendarClock({});
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<std::uint8_t> topDown(bottomUp.size());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    EXPECT_TRUE(kubora::test::writeRgbPng(KUBORA_BUILD_DIR "/game-scene.png", width, height, topDown));

    // The band darkens the top 15 %: at most the band's own grey plus a fifth of full white,
    // except where the marks, dice pictures and label are drawn over it.
    int bright = 0;
    for (int y = 2; y < height * 15 / 100 - 1; ++y) {
        for (int x = 0; x < width * 4 / 10; ++x) {
            const std::uint8_t* p =
                &topDown[static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x) * 3];
            bright += (p[0] > 75 && p[0] - p[2] < 60) ? 1 : 0; // not a red mark
        }
    }
    EXPECT_EQ(bright, 0);
    // Below the band the scene is no flat colour.
    std::set<std::uint32_t> colours;
    for (std::size_t at = rowBytes * 60; at < topDown.size(); at += 3) {
        colours.insert(
            static_cast<std::uint32_t>(topDown[at] << 16 | topDown[at + 1] << 8 | topDown[at + 2]));
    }
    EXPECT_GT(colours.size(), 50u);
}
