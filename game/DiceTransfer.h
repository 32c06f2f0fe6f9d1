#pragma once
// The visible outcome of one move or attack: the dice that glide to new places and the dice that
// leave the scene at the next frame.
#include <list>
#include <vector>

#include "game/DieMove.h"

namespace Kubora {

class BoardTile;
class Die;
class Player;

struct DiceTransfer {
    // Nothing left to animate or remove.
    bool finished() const;

    std::list<DieMove> movements; // in the order the dice were moved
    std::vector<Die*> removals;
};

// Moves all but one die from source onto destination (top die first) and claims destination for
// the player; from a tile with one die or none nothing moves and nothing changes hands. The dice
// keep their positions until the returned movements carry them over.
DiceTransfer moveDice(BoardTile& source, Player& player, BoardTile& destination);

} // namespace Kubora
