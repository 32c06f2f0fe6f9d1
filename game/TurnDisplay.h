#pragma once
// What the game tells a display of the turn (the status bar, which lives above the rules): whose turn
// it is in which colour and kind, and while it lasts the seconds left with both sides' last rolls.
#include <array>
#include <cstdint>

#include "game/PlayerKind.h"
#include "game/RollSummary.h"

namespace Kubora {

class TurnDisplay {
  public:
    // A new turn: the current player's colour (red, green, blue) and kind.
    virtual void showTurn(const std::array<float, 3>& colour, PlayerKind kind) = 0;
    // Every update while the turn has seconds left: those seconds and the current player's last attack,
    // the attacking side first.
    virtual void showSecondsAndRolls(std::int32_t secondsLeft, RollSummary attacker,
                                     RollSummary defender) = 0;

  protected:
    ~TurnDisplay() = default;
};

} // namespace Kubora
