// A long match of four computer players, one second per frame through the clock seam: after every
// frame each die in the scene stands on exactly one tile, unowned tiles hold no dice, the pending
// transfers stay few, the dice the game holds are exactly those in the scene, and GL raises no error.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "hud/StatusBar.h"
#include "tests/game/GameWorld.h"

using kubora::test::GameWorld;
using kubora::test::testSecond;

TEST(LongGame, AThousandRoundsOfComputersKeepTheBoardSound)
{
    GameWorld world;
    world.players[2]->kind = Kubora::Computer;
    Kubora::StatusBar statusBar;
    world.game->turnDisplay = &statusBar;
    world.placeStartingDice();
    testSecond = 5'000'000;
    world.game->start();
    while (glGetError() != GL_NO_ERROR) {
    }

    constexpr int rounds = 1000;
    int round = 0;
    std::size_t mostPending = 0;
    std::size_t mostDice = 0;
    long frames = 0;
    std::ostringstream dicePerHundredRounds;
    const Kubora::Player* previous = world.game->currentPlayer;
    while (round < rounds) {
        world.game->update(100.0);
        ++frames;
        if (world.game->currentPlayer != previous) {
            previous = world.game->currentPlayer;
            if (previous == world.players[0].get()) {
                ++round;
                if (round % 100 == 0) {
                    dicePerHundredRounds << " " << world.game->diceInPlay();
                }
            }
        }
        // Drawing now and then keeps the dice's models honest without making the test slow.
        if (frames % 97 == 0) {
            world.renderer.drawObjects();
            statusBar.draw();
        }
        ASSERT_TRUE(world.everyDieOnExactlyOneTile()) << "frame " << frames;
        ASSERT_EQ(world.unownedTilesWithDice(), 0) << "frame " << frames;
        ASSERT_LE(world.game->pending.size(), 8u) << "frame " << frames;
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << frames;
        mostPending = std::max(mostPending, world.game->pending.size());
        mostDice = std::max(mostDice, world.game->diceInPlay());
        testSecond += 1;
    }
    // Every turn of 5 seconds takes 5 frames (the very first 6).
    EXPECT_EQ(frames, rounds * 4L * 5L + 1L);
    std::cout << "[          ] " << frames << " frames; at most " << mostPending << " pending transfers and "
              << mostDice << " dice; dice every 100 rounds:" << dicePerHundredRounds.str() << "\n";
}
