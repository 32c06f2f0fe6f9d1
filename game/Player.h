#pragma once
// One participant: kind, index (which decides ownership), colours and the rolls of its last attack.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/math/Color4f.h"
#include "game/PlayerKind.h"
#include "game/RollSummary.h"

namespace Kubora {

class Player {
  public:
    Player(std::int32_t index, PlayerKind kind, float red, float green, float blue);

    // Writes base x 0.75 (alpha 1) into the current colour and returns it.
    const libkub::Color4f& refreshColour();
    // Empties both roll lists and zeroes both totals; the colours stay.
    void clearRolls();
    RollSummary attackerSummary() const;
    RollSummary defenderSummary() const;

    PlayerKind kind;
    std::int32_t index;
    libkub::Color4f currentColour;
    libkub::Color4f baseColour;
    std::vector<std::int32_t> attackerRolls;
    std::int32_t attackerTotal = 0;
    std::array<float, 3> attackerColour{0.0f, 0.0f, 0.0f};
    std::vector<std::int32_t> defenderRolls;
    std::int32_t defenderTotal = 0;
    std::array<float, 3> defenderColour{0.0f, 0.0f, 0.0f};
};

} // namespace Kubora
