#include "game/Action.h"

#include "game/Board.h"

namespace Kubora {

Action chooseAction(const Player* current, const BoardTile* from, const BoardTile* to)
{
    if (to == nullptr) {
        return Action::Nothing;
    }
    if (to->owner == current) {
        return Action::Select;
    }
    // Only a tile of the current player acts for it. A lost attack leaves the defender's tile selected,
    // and that tile must not move or attack with the enemy's dice.
    if (from == nullptr || from->owner != current || !areAdjacent(from, to)) {
        return Action::Nothing;
    }
    return to->owner == nullptr ? Action::Move : Action::Attack;
}

} // namespace Kubora
