// Dice: starting stacks and their slots, moveDice from one and from five dice, the glide of a die
// in 100 ms steps, and the freeing of destroyed dice and finished transfers.
#include <gtest/gtest.h>

#include "tests/game/GameWorld.h"
#include "tests/support/Expectations.h"

using Kubora::BoardTile;
using Kubora::DiceTransfer;
using kubora::test::expectNear;
using kubora::test::GameWorld;
using libkub::Vector3f;

namespace {

Vector3f slotOffset(std::size_t k)
{
    return Kubora::stackSlot({0.0f, 0.0f, 0.0f}, k);
}

} // namespace

TEST(Dice, StackSlotsStandInTwoColumnsRisingByHalfPerPair)
{
    expectNear(slotOffset(0), {0.5f, 0.4f, 0.0f});
    expectNear(slotOffset(1), {-0.5f, 0.4f, 0.0f});
    expectNear(slotOffset(2), {0.5f, 0.9f, 0.0f});
    expectNear(slotOffset(4), {0.5f, 1.4f, 0.0f});
    expectNear(Kubora::stackSlot({21.0f, -1.0f, 6.0f}, 5), {20.5f, 0.4f, 6.0f});
}

TEST(Dice, StartingDiceGiveEveryPlayerItsCornerWithFiveDiceInTurnOrder)
{
    GameWorld world;
    world.placeStartingDice();
    ASSERT_EQ(world.game->players.size(), 4u);
    const int corners[4][2] = {{7, 7}, {7, 0}, {0, 0}, {0, 7}};
    for (std::size_t p = 0; p < 4; ++p) {
        Kubora::Player* player = world.players[p].get();
        EXPECT_EQ(world.game->players[p], player);
        BoardTile* corner = world.tile(corners[p][0], corners[p][1]);
        EXPECT_EQ(corner->owner, player);
        EXPECT_EQ(corner->model()->material.ambient, player->currentColour);
        ASSERT_EQ(corner->diceCount(), 5u);
        for (std::size_t k = 0; k < 5; ++k) {
            const libkub::Model* model = corner->dice[k]->model();
            expectNear(model->mesh.translation, corner->position() + slotOffset(k));
            EXPECT_EQ(model->bounds().size, (Vector3f{0.25f, 0.25f, 0.25f}));
        }
    }
    EXPECT_EQ(world.players[0]->currentColour, (libkub::Color4f{0.75f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(world.players[3]->currentColour, (libkub::Color4f{0.75f, 0.75f, 0.0f, 1.0f}));
    // The scene lists: 64 tiles, then the 20 dice in the order they were placed.
    ASSERT_EQ(world.renderer.objects.size(), 84u);
    EXPECT_EQ(world.renderer.objects[64], world.tile(7, 7)->dice[0]);
    EXPECT_EQ(world.renderer.objects[83], world.tile(0, 7)->dice[4]);
    EXPECT_EQ(world.renderer.selectables.size(), 64u);
    EXPECT_EQ(world.unownedTilesWithDice(), 0);
}

TEST(Dice, MoveFromASingleDieMovesNothing)
{
    GameWorld world;
    world.setPosition({"R1 . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . ."});
    BoardTile* source = world.tile(0, 0);
    BoardTile* destination = world.tile(0, 1);
    const DiceTransfer transfer = Kubora::moveDice(*source, *world.player('R'), *destination);
    EXPECT_TRUE(transfer.movements.empty());
    EXPECT_TRUE(transfer.removals.empty());
    EXPECT_EQ(source->diceCount(), 1u);
    EXPECT_EQ(destination->owner, nullptr);
    EXPECT_EQ(Kubora::moveDice(*destination, *world.player('R'), *source).movements.size(), 0u);
}

TEST(Dice, MoveFromFiveDiceLeavesOneAndClaimsTheDestination)
{
    GameWorld world;
    world.placeStartingDice();
    BoardTile* source = world.tile(0, 0);
    BoardTile* destination = world.tile(1, 0);
    std::vector<Kubora::Die*> before = source->dice;
    const std::vector<Vector3f> startPlaces = {before[4]->model()->mesh.translation,
                                               before[3]->model()->mesh.translation};
    Kubora::Player& blue = *world.player('B');

    const DiceTransfer transfer = Kubora::moveDice(*source, blue, *destination);

    ASSERT_EQ(source->diceCount(), 1u);
    EXPECT_EQ(source->dice[0], before[0]);
    ASSERT_EQ(destination->diceCount(), 4u);
    EXPECT_EQ(destination->owner, &blue);
    EXPECT_EQ(destination->model()->material.ambient, blue.currentColour);
    ASSERT_EQ(transfer.movements.size(), 4u);
    std::size_t k = 0;
    for (const Kubora::DieMove& move : transfer.movements) {
        // The top die leaves first and takes the bottom slot.
        EXPECT_EQ(move.die, before[4 - k]);
        EXPECT_EQ(destination->dice[k], before[4 - k]);
        expectNear(move.target, destination->position() + slotOffset(k));
        EXPECT_EQ(move.start, move.die->model()->mesh.translation); // not moved yet
        EXPECT_EQ(move.duration, 400.0);
        EXPECT_EQ(move.elapsed, 0.0);
        EXPECT_FALSE(move.done);
        ++k;
    }
    EXPECT_EQ(transfer.movements.front().start, startPlaces[0]);
    EXPECT_TRUE(transfer.removals.empty());
}

TEST(Dice, AGlideTakesFiveStepsOvershootsByAQuarterThenLandsExactly)
{
    GameWorld world;
    world.placeStartingDice();
    BoardTile* source = world.tile(0, 0);
    BoardTile* destination = world.tile(0, 1);
    DiceTransfer transfer = Kubora::moveDice(*source, *world.player('B'), *destination);
    Kubora::DieMove move = transfer.movements.front();
    const Vector3f way = move.target - move.start;

    for (int step = 0; step < 5; ++step) {
        EXPECT_EQ(move.elapsed, 100.0 * step);
        move.advance(100.0);
        EXPECT_FALSE(move.done);
        expectNear(move.die->model()->mesh.translation,
                   move.start + way * (0.25f * static_cast<float>(step + 1)));
    }
    expectNear(move.die->model()->mesh.translation, move.target + way * 0.25f);
    move.advance(100.0);
    EXPECT_TRUE(move.done);
    EXPECT_EQ(move.die->model()->mesh.translation, move.target);
}

TEST(Dice, ProcessedTransfersCarryDiceHomeAndLeaveThePendingList)
{
    GameWorld world;
    world.placeStartingDice();
    world.game->keep(Kubora::moveDice(*world.tile(0, 0), *world.player('B'), *world.tile(0, 1)));
    ASSERT_EQ(world.game->pending.size(), 1u);
    for (int frame = 0; frame < 5; ++frame) {
        world.game->processTransfers(100.0);
        EXPECT_EQ(world.game->pending.size(), 1u);
    }
    world.game->processTransfers(100.0);
    EXPECT_TRUE(world.game->pending.empty());
    BoardTile* destination = world.tile(0, 1);
    for (std::size_t k = 0; k < destination->diceCount(); ++k) {
        EXPECT_EQ(destination->dice[k]->model()->mesh.translation, destination->position() + slotOffset(k));
    }
    // A move that moved nothing is kept for one frame and then dropped.
    world.game->keep(Kubora::moveDice(*world.tile(0, 0), *world.player('B'), *world.tile(1, 0)));
    world.game->processTransfers(16.0);
    EXPECT_TRUE(world.game->pending.empty());
}

TEST(Dice, RemovedDiceLeaveTheSceneAndAreFreedEvenWhileGliding)
{
    GameWorld world;
    world.setPosition({"B5 . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                       ". . . . . . . .", ". . . . . . . .", ". . . . . . . .", ". . . . . . . R1"});
    const std::size_t diceBefore = world.game->diceInPlay();
    world.game->keep(Kubora::moveDice(*world.tile(0, 0), *world.player('B'), *world.tile(0, 1)));
    world.game->processTransfers(100.0);

    // While the four dice are still on their way, two of them are destroyed.
    Kubora::DiceTransfer destroy;
    destroy.removals.push_back(world.tile(0, 1)->takeTopDie());
    destroy.removals.push_back(world.tile(0, 1)->takeTopDie());
    world.game->keep(std::move(destroy));
    world.game->processTransfers(100.0);

    EXPECT_EQ(world.game->diceInPlay(), diceBefore - 2);
    EXPECT_EQ(world.diceInScene().size(), diceBefore - 2);
    ASSERT_EQ(world.game->pending.size(), 1u);
    EXPECT_EQ(world.game->pending[0].movements.size(), 2u);
    for (int frame = 0; frame < 10; ++frame) {
        world.game->processTransfers(100.0);
    }
    EXPECT_TRUE(world.game->pending.empty());
}
