// Turns: the opening frame, the space key in the human turn, reinforcement, a boxed-in computer
// player, a player without tiles, and what the turn display is told.
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "game/TurnDisplay.h"
#include "tests/game/GameWorld.h"

using Kubora::BoardTile;
using kubora::test::GameWorld;
using kubora::test::testSecond;

namespace {

// Keeps what the game last told it, as the status bar does.
struct RecordedTurn final : Kubora::TurnDisplay {
    void showTurn(const std::array<float, 3>& colour, Kubora::PlayerKind kind) override
    {
        markColour = colour;
        currentKind = kind;
    }
    void showSecondsAndRolls(std::int32_t secondsLeft, Kubora::RollSummary attacker,
                             Kubora::RollSummary defender) override
    {
        countdown = secondsLeft;
        upperRow = std::move(attacker);
        lowerRow = std::move(defender);
    }

    std::array<float, 3> markColour{0.0f, 0.0f, 0.0f};
    Kubora::PlayerKind currentKind = Kubora::Human;
    std::int32_t countdown = 0;
    Kubora::RollSummary upperRow;
    Kubora::RollSummary lowerRow;
};

// A world with its turn display, the starting position and the first turn begun at second 2,000,000.
struct StartedGame : GameWorld {
    StartedGame()
    {
        game->turnDisplay = &display;
        placeStartingDice();
        testSecond = 2'000'000;
        game->start();
    }

    // The space key, then one frame at the same second.
    void pressSpace()
    {
        game->timer->end = 0;
        game->update(16.0);
    }

    RecordedTurn display;
};

std::vector<std::size_t> diceCounts(const Kubora::Board& board)
{
    std::vector<std::size_t> counts;
    for (const auto& tile : board.tiles) {
        counts.push_back(tile->diceCount());
    }
    return counts;
}

std::vector<const Kubora::Player*> owners(const Kubora::Board& board)
{
    std::vector<const Kubora::Player*> result;
    for (const auto& tile : board.tiles) {
        result.push_back(tile->owner);
    }
    return result;
}

} // namespace

TEST(Turns, TheFirstFrameShowsRedWithFiveSecondsAndRedActs)
{
    StartedGame world;
    EXPECT_EQ(world.game->currentPlayer, world.players[0].get());
    EXPECT_EQ(world.game->timer->duration, 5);
    EXPECT_EQ(world.game->timer->start, 2'000'000);
    EXPECT_EQ(world.game->timer->end, 2'000'005);
    EXPECT_EQ(world.display.markColour, (std::array<float, 3>{0.75f, 0.0f, 0.0f}));
    EXPECT_EQ(world.display.currentKind, Kubora::Computer);

    world.game->update(16.0);

    EXPECT_EQ(world.display.countdown, 5);
    EXPECT_EQ(world.game->lastComputerSecond, 5);
    // Both of red's candidates lead onto empty tiles: four dice leave the corner.
    EXPECT_EQ(world.tile(7, 7)->diceCount(), 1u);
    EXPECT_EQ(world.tile(6, 7)->diceCount() + world.tile(7, 6)->diceCount(), 4u);
    EXPECT_EQ(world.game->pending.size(), 1u);
    // Red does not act again within the same second, nor at an even one.
    world.game->update(16.0);
    testSecond += 1;
    world.game->update(16.0);
    EXPECT_EQ(world.display.countdown, 4);
    EXPECT_EQ(world.game->lastComputerSecond, 5);
}

TEST(Turns, ComputerPlayersActAtFiveThreeAndOneSecondsLeft)
{
    StartedGame world;
    std::vector<std::int32_t> actedAt;
    for (int second = 0; second < 5; ++second) {
        world.game->update(16.0);
        if (actedAt.empty() || actedAt.back() != world.game->lastComputerSecond) {
            actedAt.push_back(world.game->lastComputerSecond);
        }
        EXPECT_EQ(world.game->currentPlayer, world.players[0].get());
        testSecond += 1;
    }
    EXPECT_EQ(actedAt, (std::vector<std::int32_t>{5, 3, 1}));
    world.game->update(16.0); // remaining 0: the turn ends
    EXPECT_EQ(world.game->currentPlayer, world.players[1].get());
    EXPECT_EQ(world.game->timer->start, 2'000'005);
    EXPECT_EQ(world.display.markColour, (std::array<float, 3>{0.0f, 0.75f, 0.0f}));
}

TEST(Turns, SpaceInTheHumanTurnReinforcesAndHandsOverToYellow)
{
    StartedGame world;
    world.pressSpace(); // red
    world.pressSpace(); // green
    ASSERT_EQ(world.game->currentPlayer, world.player('B'));
    EXPECT_EQ(world.game->timer->duration, 25);
    world.game->update(16.0);
    EXPECT_EQ(world.display.countdown, 25);
    EXPECT_EQ(world.display.currentKind, Kubora::Human);
    // Yellow carries rolls from an earlier attack; the human has just attacked.
    world.player('Y')->attackerRolls = {3, 4};
    world.player('Y')->attackerTotal = 7;
    world.player('B')->attackerRolls = {6};
    world.game->update(16.0);
    ASSERT_EQ(world.display.upperRow.rolls, std::vector<std::int32_t>{6});
    world.game->handleClick(world.tile(0, 0));
    const std::size_t blueDice = world.tile(0, 0)->diceCount();

    world.pressSpace();

    EXPECT_EQ(world.tile(0, 0)->diceCount(), blueDice + 1); // one own tile, one new die
    EXPECT_EQ(world.board->selectedTile, nullptr);
    EXPECT_EQ(world.game->currentPlayer, world.player('Y'));
    EXPECT_EQ(world.game->timer->duration, 5);
    EXPECT_EQ(world.game->timer->end, testSecond + 5);
    EXPECT_EQ(world.display.currentKind, Kubora::Computer);
    EXPECT_EQ(world.display.markColour, (std::array<float, 3>{0.75f, 0.75f, 0.0f}));
    EXPECT_TRUE(world.player('Y')->attackerRolls.empty());
    world.game->update(16.0);
    EXPECT_TRUE(world.display.upperRow.rolls.empty());
    EXPECT_TRUE(world.display.lowerRow.rolls.empty());
}

TEST(Turns, FourTilesGiveFourNewDiceOnOwnTiles)
{
    GameWorld world;
    world.setPosition({"R1 . . . . . . .", ". G3 . . . . . .", ". . R2 . . . . .", ". . . . . . . .",
                       ". . . . . R0 . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . Y1 R7"});
    world.board->selectTile(world.tile(2, 2));
    const std::vector<std::size_t> before = diceCounts(*world.board);
    const std::size_t sceneBefore = world.diceInScene().size();

    world.game->reinforce(*world.player('R'));

    const std::vector<std::size_t> after = diceCounts(*world.board);
    std::size_t added = 0;
    for (std::size_t k = 0; k < 64; ++k) {
        if (world.board->tiles[k]->owner != world.player('R')) {
            EXPECT_EQ(after[k], before[k]) << "tile " << k;
        }
        added += after[k] - before[k];
    }
    EXPECT_EQ(added, 4u);
    EXPECT_EQ(world.diceInScene().size(), sceneBefore + 4);
    EXPECT_EQ(world.board->selectedTile, nullptr);
    EXPECT_TRUE(world.everyDieOnExactlyOneTile());
    // New dice stand in the next free slots of their tiles.
    for (const auto& tile : world.board->tiles) {
        for (std::size_t k = 0; k < tile->diceCount(); ++k) {
            EXPECT_EQ(tile->dice[k]->model()->mesh.translation, Kubora::stackSlot(tile->position(), k));
        }
    }
    // The choice of tiles replays from the second: the same second gives the same tiles.
    GameWorld again;
    again.setPosition({"R1 . . . . . . .", ". G3 . . . . . .", ". . R2 . . . . .", ". . . . . . . .",
                       ". . . . . R0 . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . Y1 R7"});
    again.game->reinforce(*again.player('R'));
    EXPECT_EQ(diceCounts(*again.board), after);
}

TEST(Turns, AComputerBoxedInByItsOwnTilesNeverChangesTheBoard)
{
    GameWorld world;
    world.enterPlayers();
    std::array<const char*, 8> allRed{};
    allRed.fill("R3 R1 R0 R5 R2 R1 R4 R2");
    world.setPosition(allRed);
    world.game->currentPlayer = world.player('R');
    EXPECT_EQ(world.game->candidateMoves().size(), 2u * 8u * 7u * 2u);
    const std::vector<std::size_t> before = diceCounts(*world.board);
    const std::vector<const Kubora::Player*> ownersBefore = owners(*world.board);
    for (int second = 0; second < 200; ++second) {
        testSecond = 3'000'000 + second;
        world.game->computerMove();
    }
    EXPECT_EQ(diceCounts(*world.board), before);
    EXPECT_EQ(owners(*world.board), ownersBefore);
    EXPECT_TRUE(world.game->pending.empty());
    EXPECT_EQ(world.board->selectedTile, nullptr);
}

TEST(Turns, CandidatesPairEveryOwnTileWithItsNeighboursInOrder)
{
    GameWorld world;
    world.setPosition({"R1 . . . . . . .", ". . . . . . . .", ". . . G2 . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
    world.game->currentPlayer = world.player('R');
    std::vector<std::array<float, 4>> got;
    for (const Kubora::CandidateMove& c : world.game->candidateMoves()) {
        got.push_back({c.fromRow, c.fromColumn, c.toRow, c.toColumn});
    }
    EXPECT_EQ(got, (std::vector<std::array<float, 4>>{{0, 0, 1, 0}, {0, 0, 0, 1}}));
    world.game->currentPlayer = world.player('G');
    EXPECT_EQ(world.game->candidateMoves().size(), 4u);
    const Kubora::CandidateMove first = world.game->candidateMoves()[0];
    EXPECT_EQ((std::array<float, 4>{first.fromRow, first.fromColumn, first.toRow, first.toColumn}),
              (std::array<float, 4>{2, 3, 3, 3}));
}

TEST(Turns, APlayerWithoutTilesKeepsItsTurns)
{
    GameWorld world;
    RecordedTurn display;
    world.game->turnDisplay = &display;
    world.enterPlayers();
    world.setPosition({"B5 . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . Y1 R7"});
    testSecond = 4'000'000;
    world.game->start();
    std::vector<std::int32_t> order{world.game->currentPlayer->index};
    std::vector<int> framesPerTurn{0};
    for (int frame = 0; frame < 500 && order.size() < 9; ++frame) {
        world.game->update(16.0);
        ++framesPerTurn.back();
        if (order.back() != world.game->currentPlayer->index) {
            order.push_back(world.game->currentPlayer->index);
            framesPerTurn.push_back(0);
            if (world.game->currentPlayer == world.player('G')) {
                EXPECT_TRUE(world.board->ownedTiles(*world.player('G')).empty());
                EXPECT_TRUE(world.game->candidateMoves().empty());
                EXPECT_EQ(world.game->timer->duration, 5);
            }
        }
        testSecond += 1;
    }
    // One frame per second; the opening turn also has the frame of its first second.
    EXPECT_EQ(framesPerTurn, (std::vector<int>{6, 5, 25, 5, 5, 5, 25, 5, 0}));
    EXPECT_EQ(order, (std::vector<std::int32_t>{0, 1, 2, 3, 0, 1, 2, 3, 0}));
}
