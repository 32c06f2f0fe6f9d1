#pragma once
// The decision table: what acting from one tile on another means for the current player.
namespace Kubora {

class BoardTile;
class Player;

enum class Action {
    Select,
    Move,
    Attack,
    Nothing,
};

// from may be null (nothing selected); to never is. Owners are compared by identity. An attack
// from a tile nobody owns (reachable after a move with too few dice left an empty tile selected)
// is no action.
Action chooseAction(const Player* current, const BoardTile* from, const BoardTile* to);

} // namespace Kubora
