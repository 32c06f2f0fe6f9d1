#pragma once
// One attack: both sides roll a die for every die they hold, the higher sum wins.
#include "game/DiceTransfer.h"

namespace Kubora {

class BoardTile;
class Player;

// Rolls from the generator seeded with the current calendar second (attacker first), stores the
// rolls in the player's record and returns what leaves the scene and what glides. The caller keeps
// the transfer. Tiles without an owner on either side give an empty transfer and change nothing.
DiceTransfer attack(Player& player, BoardTile& from, BoardTile& to);

} // namespace Kubora
