#include "game/DiceTransfer.h"

#include <algorithm>

#include "engine/resources/Model.h"
#include "game/BoardTile.h"
#include "game/Die.h"
#include "game/Player.h"

namespace Kubora {

bool DiceTransfer::finished() const
{
    return removals.empty() &&
           std::all_of(movements.begin(), movements.end(), [](const DieMove& move) { return move.done; });
}

DiceTransfer moveDice(BoardTile& source, Player& player, BoardTile& destination)
{
    DiceTransfer transfer;
    const std::size_t n = source.diceCount();
    if (n <= 1) {
        return transfer;
    }
    for (std::size_t moved = 0; moved < n - 1; ++moved) {
        Die* die = source.takeTopDie();
        const libkub::Vector3f start = die->model()->mesh.translation;
        const libkub::Vector3f target = stackSlot(destination.position(), destination.diceCount());
        transfer.movements.push_back(DieMove{die, start, target});
        destination.dice.push_back(die);
        destination.owner = &player;
        destination.model()->material.ambient = player.refreshColour();
    }
    return transfer;
}

} // namespace Kubora
