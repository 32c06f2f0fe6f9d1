#include "game/Player.h"

namespace Kubora {

Player::Player(std::int32_t playerIndex, PlayerKind playerKind, float red, float green, float blue)
    : kind(playerKind), index(playerIndex), currentColour{red * 0.75f, green * 0.75f, blue * 0.75f, 1.0f},
      baseColour{red, green, blue, 1.0f}
{
}

const libkub::Color4f& Player::refreshColour()
{
    currentColour = {baseColour.r * 0.75f, baseColour.g * 0.75f, baseColour.b * 0.75f, 1.0f};
    return currentColour;
}

void Player::clearRolls()
{
    attackerRolls.clear();
    attackerTotal = 0;
    defenderRolls.clear();
    defenderTotal = 0;
}

RollSummary Player::attackerSummary() const
{
    return {attackerRolls, attackerTotal, attackerColour};
}

RollSummary Player::defenderSummary() const
{
    return {defenderRolls, defenderTotal, defenderColour};
}

} // namespace Kubora
