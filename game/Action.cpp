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
    if (from == nullptr || !areAdjacent(from, to)) {
        return Action::Nothing;
    }
    if (to->owner == nullptr) {
        return Action::Move;
    }
    return from->owner != nullptr ? Action::Attack : Action::Nothing;
}

} // namespace Kubora
