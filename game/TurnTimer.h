#pragma once
// The current turn's span in calendar seconds.
#include <cstdint>

#include "game/PlayerKind.h"

namespace Kubora {

struct TurnTimer {
    // A new turn from now: 25 seconds for a human, 5 for a computer.
    void restart(PlayerKind kind, std::int32_t now)
    {
        duration = kind == Human ? 25 : 5;
        start = now;
        end = start + duration;
    }

    std::int32_t duration = 0;
    std::int32_t start = 0;
    std::int32_t end = 0; // the space key sets it to 0, which ends the turn at the next update
};

} // namespace Kubora
