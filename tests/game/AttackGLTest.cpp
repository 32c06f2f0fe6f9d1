// Selection and attacks: the decision table row by row, the human's clicks, and attacks with their
// rolls chosen through the calendar second (tie, win, loss, undefended tile, single-die winner).
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "game/Action.h"
#include "game/Attack.h"
#include "tests/game/GameWorld.h"

using Kubora::Action;
using Kubora::BoardTile;
using Kubora::chooseAction;
using Kubora::DiceTransfer;
using kubora::test::GameWorld;
using kubora::test::replayRolls;
using kubora::test::secondRolling;
using kubora::test::testSecond;

namespace {

// Red and green face each other on (3, 3) and (3, 4), with the given stacks.
void faceOff(GameWorld& world, const char* red, const char* green)
{
    const std::string row = std::string(". . . ") + red + " " + green + " . . .";
    world.setPosition({". . . . . . . .", ". . . . . . . .", ". . . . . . . .", row.c_str(),
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
}

std::array<float, 3> rgb(const libkub::Color4f& colour)
{
    return {colour.r, colour.g, colour.b};
}

} // namespace

TEST(Attack, DecisionTableRowByRow)
{
    GameWorld world;
    world.setPosition({"B2 R2 . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . B1"});
    const Kubora::Player* blue = world.player('B');
    BoardTile* own = world.tile(0, 0);
    BoardTile* farOwn = world.tile(7, 7);
    BoardTile* enemy = world.tile(0, 1);
    BoardTile* empty = world.tile(1, 0);
    BoardTile* farEmpty = world.tile(2, 0);
    BoardTile* diagonalEmpty = world.tile(1, 1);

    EXPECT_EQ(chooseAction(blue, nullptr, own), Action::Select);        // none, current player
    EXPECT_EQ(chooseAction(blue, nullptr, enemy), Action::Nothing);     // none, another player
    EXPECT_EQ(chooseAction(blue, nullptr, empty), Action::Nothing);     // none, nobody
    EXPECT_EQ(chooseAction(blue, own, farOwn), Action::Select);         // present, current player
    EXPECT_EQ(chooseAction(blue, own, own), Action::Select);            // present, current player
    EXPECT_EQ(chooseAction(blue, own, enemy), Action::Attack);          // present, another, adjacent
    EXPECT_EQ(chooseAction(blue, own, empty), Action::Move);            // present, nobody, adjacent
    EXPECT_EQ(chooseAction(blue, farOwn, enemy), Action::Nothing);      // present, another, not adjacent
    EXPECT_EQ(chooseAction(blue, own, farEmpty), Action::Nothing);      // present, nobody, two steps
    EXPECT_EQ(chooseAction(blue, own, diagonalEmpty), Action::Nothing); // present, nobody, diagonal
    // Identity, not index: a record with blue's index is another player here.
    const Kubora::Player blueTwin(2, Kubora::Human, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(chooseAction(&blueTwin, nullptr, own), Action::Nothing);
    // A from tile the current player does not own (an enemy's, left selected by a lost attack, or
    // nobody's) is no selection: it neither moves nor attacks.
    EXPECT_EQ(chooseAction(blue, enemy, world.tile(1, 1)), Action::Nothing);
    EXPECT_EQ(chooseAction(blue, enemy, own), Action::Select);
    EXPECT_EQ(chooseAction(blue, diagonalEmpty, enemy), Action::Nothing);
}

TEST(Attack, TieOfElevenCutsBothSidesToOneDie)
{
    GameWorld world;
    faceOff(world, "R3", "G2");
    testSecond = secondRolling(3, 11, 2, 11);
    const kubora::test::ReplayedRolls expected = replayRolls(testSecond, 3, 2);
    Kubora::Player& red = *world.player('R');
    BoardTile* from = world.tile(3, 3);
    BoardTile* to = world.tile(3, 4);
    const std::vector<Kubora::Die*> attackers = from->dice;
    const std::vector<Kubora::Die*> defenders = to->dice;

    const DiceTransfer transfer = Kubora::attack(red, *from, *to);

    EXPECT_EQ(red.attackerRolls, expected.attacker);
    EXPECT_EQ(red.defenderRolls, expected.defender);
    EXPECT_EQ(red.attackerTotal, 11);
    EXPECT_EQ(red.defenderTotal, 11);
    EXPECT_EQ(red.attackerColour, rgb(red.currentColour));
    EXPECT_EQ(red.defenderColour, rgb(world.player('G')->currentColour));
    ASSERT_EQ(from->diceCount(), 1u);
    ASSERT_EQ(to->diceCount(), 1u);
    EXPECT_EQ(from->dice[0], attackers[0]);
    EXPECT_EQ(to->dice[0], defenders[0]);
    EXPECT_EQ(from->owner, &red);
    EXPECT_EQ(to->owner, world.player('G'));
    EXPECT_EQ(transfer.removals, (std::vector<Kubora::Die*>{attackers[2], attackers[1], defenders[1]}));
    EXPECT_TRUE(transfer.movements.empty());
}

TEST(Attack, WinOfFifteenAgainstNineTakesTheTile)
{
    GameWorld world;
    faceOff(world, "R4", "G3");
    testSecond = secondRolling(4, 15, 3, 9);
    Kubora::Player& red = *world.player('R');
    BoardTile* from = world.tile(3, 3);
    BoardTile* to = world.tile(3, 4);
    const std::vector<Kubora::Die*> attackers = from->dice;
    const std::vector<Kubora::Die*> defenders = to->dice;

    const DiceTransfer transfer = Kubora::attack(red, *from, *to);

    EXPECT_EQ(red.attackerTotal, 15);
    EXPECT_EQ(red.defenderTotal, 9);
    EXPECT_EQ(transfer.removals, (std::vector<Kubora::Die*>{defenders[2], defenders[1], defenders[0]}));
    ASSERT_EQ(transfer.movements.size(), 3u);
    EXPECT_EQ(from->dice, std::vector<Kubora::Die*>{attackers[0]});
    EXPECT_EQ(to->dice, (std::vector<Kubora::Die*>{attackers[3], attackers[2], attackers[1]}));
    EXPECT_EQ(to->owner, &red);
    EXPECT_EQ(to->model()->material.ambient, red.currentColour);
    // The arriving dice glide into the slots the destroyed dice have left free.
    EXPECT_EQ(transfer.movements.front().target, Kubora::stackSlot(to->position(), 0));
    EXPECT_EQ(transfer.movements.back().target, Kubora::stackSlot(to->position(), 2));
}

TEST(Attack, LossOfFourAgainstSixCutsTheAttackerOnly)
{
    GameWorld world;
    faceOff(world, "R2", "G1");
    testSecond = secondRolling(2, 4, 1, 6);
    Kubora::Player& red = *world.player('R');
    BoardTile* from = world.tile(3, 3);
    BoardTile* to = world.tile(3, 4);
    const std::vector<Kubora::Die*> attackers = from->dice;

    const DiceTransfer transfer = Kubora::attack(red, *from, *to);

    EXPECT_EQ(red.attackerTotal, 4);
    EXPECT_EQ(red.defenderTotal, 6);
    EXPECT_EQ(transfer.removals, std::vector<Kubora::Die*>{attackers[1]});
    EXPECT_EQ(from->diceCount(), 1u);
    EXPECT_EQ(to->diceCount(), 1u);
    EXPECT_EQ(to->owner, world.player('G'));
}

TEST(Attack, ADefendedTileWithoutDiceFallsToAnyDieButNotToNone)
{
    GameWorld world;
    faceOff(world, "R3", "G0");
    Kubora::Player& red = *world.player('R');
    const DiceTransfer won = Kubora::attack(red, *world.tile(3, 3), *world.tile(3, 4));
    EXPECT_TRUE(red.defenderRolls.empty());
    EXPECT_EQ(red.defenderTotal, 0);
    EXPECT_TRUE(won.removals.empty());
    EXPECT_EQ(won.movements.size(), 2u);
    EXPECT_EQ(world.tile(3, 4)->owner, &red);

    faceOff(world, "R0", "G0");
    const DiceTransfer tied = Kubora::attack(red, *world.tile(3, 3), *world.tile(3, 4));
    EXPECT_TRUE(tied.removals.empty());
    EXPECT_TRUE(tied.movements.empty());
    EXPECT_EQ(world.tile(3, 4)->owner, world.player('G'));
}

TEST(Attack, ASingleWinningDieTakesTheTileButStaysBehind)
{
    GameWorld world;
    faceOff(world, "R1", "G1");
    testSecond = secondRolling(1, 6, 1, 2);
    Kubora::Player& red = *world.player('R');
    BoardTile* from = world.tile(3, 3);
    BoardTile* to = world.tile(3, 4);
    Kubora::Die* defender = to->dice[0];

    const DiceTransfer transfer = Kubora::attack(red, *from, *to);

    EXPECT_EQ(transfer.removals, std::vector<Kubora::Die*>{defender});
    EXPECT_TRUE(transfer.movements.empty());
    EXPECT_EQ(to->owner, &red);
    EXPECT_EQ(to->diceCount(), 0u);
    EXPECT_EQ(from->diceCount(), 1u);
    EXPECT_EQ(to->model()->material.ambient, red.currentColour);
}

TEST(Attack, TwoAttacksInOneSecondDrawTheSameRolls)
{
    GameWorld world;
    world.setPosition({". . . . . . . .", ". . . R4 G3 . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . R4 Y3 . . .", ". . . . . . . .", ". . . . . . . ."});
    testSecond = 1'234'567;
    Kubora::Player& red = *world.player('R');
    Kubora::attack(red, *world.tile(1, 3), *world.tile(1, 4));
    const std::vector<std::int32_t> firstAttacker = red.attackerRolls;
    const std::vector<std::int32_t> firstDefender = red.defenderRolls;
    std::rand(); // whatever else drew numbers in between
    Kubora::attack(red, *world.tile(5, 3), *world.tile(5, 4));
    EXPECT_EQ(red.attackerRolls, firstAttacker);
    EXPECT_EQ(red.defenderRolls, firstDefender);
    EXPECT_EQ(red.attackerRolls, replayRolls(testSecond, 4, 3).attacker);
}

TEST(Attack, AttackFromATileNobodyOwnsChangesNothing)
{
    GameWorld world;
    faceOff(world, ".", "G2");
    Kubora::Player& red = *world.player('R');
    red.attackerRolls = {4};
    const DiceTransfer transfer = Kubora::attack(red, *world.tile(3, 3), *world.tile(3, 4));
    EXPECT_TRUE(transfer.removals.empty());
    EXPECT_TRUE(transfer.movements.empty());
    EXPECT_EQ(red.attackerRolls, std::vector<std::int32_t>{4});
    EXPECT_EQ(world.tile(3, 4)->diceCount(), 2u);
}

TEST(Clicks, SelectMoveAndAttackAsTheTableSays)
{
    GameWorld world;
    world.enterPlayers();
    world.setPosition({"B5 . . . . . . .", ". . . . . . . .", ". . R2 . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . B1"});
    Kubora::Game& game = *world.game;
    game.currentPlayer = world.player('B');

    game.handleClick(world.tile(2, 2)); // an enemy tile with nothing selected
    EXPECT_EQ(world.board->selectedTile, nullptr);
    game.handleClick(world.tile(3, 3)); // an empty tile with nothing selected
    EXPECT_EQ(world.board->selectedTile, nullptr);
    game.handleClick(world.tile(7, 7));
    EXPECT_EQ(world.board->selectedTile, world.tile(7, 7));
    game.handleClick(world.tile(0, 0)); // another own tile, far away
    EXPECT_EQ(world.board->selectedTile, world.tile(0, 0));
    game.handleClick(world.tile(1, 1)); // diagonal
    EXPECT_EQ(world.board->selectedTile, world.tile(0, 0));

    world.player('B')->attackerRolls = {6};
    game.handleClick(world.tile(1, 0)); // move
    EXPECT_TRUE(world.player('B')->attackerRolls.empty());
    EXPECT_EQ(world.board->selectedTile, world.tile(1, 0));
    EXPECT_EQ(world.tile(1, 0)->diceCount(), 4u);
    ASSERT_EQ(game.pending.size(), 1u);
    game.handleClick(world.tile(2, 0));
    game.handleClick(world.tile(2, 1)); // move again, next to red
    ASSERT_EQ(world.tile(2, 1)->diceCount(), 2u);

    testSecond = secondRolling(2, 12, 2, 2);
    game.handleClick(world.tile(2, 2)); // attack and win
    EXPECT_EQ(world.tile(2, 2)->owner, world.player('B'));
    EXPECT_EQ(world.board->selectedTile, world.tile(2, 2));
    EXPECT_EQ(world.player('B')->attackerTotal, 12);
    EXPECT_EQ(game.pending.size(), 4u);
}

TEST(Clicks, AfterALostAttackTheDefendersTileNeverActsForThePlayer)
{
    GameWorld world;
    world.enterPlayers();
    world.setPosition({"B2 R2 G3 . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
    Kubora::Game& game = *world.game;
    game.currentPlayer = world.player('B');
    const libkub::Color4f plain = world.tile(0, 1)->model()->material.diffuse;

    game.handleClick(world.tile(0, 0));
    testSecond = secondRolling(2, 3, 2, 5);
    game.handleClick(world.tile(0, 1)); // lost
    EXPECT_EQ(world.tile(0, 1)->owner, world.player('R'));
    EXPECT_EQ(world.board->selectedTile, world.tile(0, 1)); // still highlighted
    EXPECT_FLOAT_EQ(world.tile(0, 1)->model()->material.diffuse.r, plain.r + 1.0f);
    EXPECT_EQ(world.tile(0, 0)->diceCount(), 1u);
    const std::size_t pendingAfterAttack = game.pending.size();

    game.handleClick(world.tile(1, 1)); // red's empty neighbour
    game.handleClick(world.tile(0, 2)); // green, next to red
    EXPECT_EQ(game.pending.size(), pendingAfterAttack);
    EXPECT_EQ(world.board->selectedTile, world.tile(0, 1));
    const std::array<std::pair<int, int>, 3> tiles{{{0, 1}, {1, 1}, {0, 2}}};
    const std::array<char, 3> owners{'R', '.', 'G'};
    const std::array<std::size_t, 3> dice{2, 0, 3};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const BoardTile* tile = world.tile(tiles[i].first, tiles[i].second);
        EXPECT_EQ(tile->owner, owners[i] == '.' ? nullptr : world.player(owners[i])) << i;
        EXPECT_EQ(tile->diceCount(), dice[i]) << i;
    }
}
