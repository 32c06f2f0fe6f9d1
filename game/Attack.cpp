#include "game/Attack.h"

#include "game/BoardTile.h"
#include "game/CalendarClock.h"
#include "game/Player.h"

namespace Kubora {

namespace {

std::array<float, 3> rgb(const libkub::Color4f& colour)
{
    return {colour.r, colour.g, colour.b};
}

// Takes count dice off the top of the tile into the removals.
void removeTopDice(BoardTile& tile, std::size_t count, DiceTransfer& transfer)
{
    for (std::size_t i = 0; i < count; ++i) {
        transfer.removals.push_back(tile.takeTopDie());
    }
}

} // namespace

DiceTransfer attack(Player& player, BoardTile& from, BoardTile& to)
{
    if (from.owner == nullptr || to.owner == nullptr) {
        return {};
    }
    player.clearRolls();
    seedWithCalendarSecond();
    DiceTransfer transfer;
    const std::size_t defenderDice = to.diceCount();
    const std::size_t attackerDice = from.diceCount();
    player.attackerColour = rgb(from.owner->refreshColour());
    player.defenderColour = rgb(to.owner->refreshColour());

    std::int32_t attackerSum = 0;
    for (std::size_t i = 0; i < attackerDice; ++i) {
        const std::int32_t roll = rollDie();
        attackerSum += roll;
        player.attackerRolls.push_back(roll);
        player.attackerTotal += roll;
    }
    std::int32_t defenderSum = 0;
    for (std::size_t i = 0; i < defenderDice; ++i) {
        const std::int32_t roll = rollDie();
        defenderSum += roll;
        player.defenderRolls.push_back(roll);
        player.defenderTotal += roll;
    }

    if (attackerSum > defenderSum) {
        removeTopDice(to, defenderDice, transfer);
        DiceTransfer moved = moveDice(from, player, to);
        transfer.movements.splice(transfer.movements.end(), moved.movements);
        const libkub::Color4f& colour = from.owner->refreshColour();
        to.owner = &player;
        to.model()->material.ambient = colour;
    } else if (attackerSum == defenderSum) {
        if (attackerDice > 1) {
            removeTopDice(from, attackerDice - 1, transfer);
        }
        if (defenderDice > 1) {
            removeTopDice(to, defenderDice - 1, transfer);
        }
    } else if (attackerDice > 1) {
        removeTopDice(from, attackerDice - 1, transfer);
    }
    return transfer;
}

} // namespace Kubora
