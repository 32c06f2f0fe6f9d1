#pragma once
// One side of the current player's last attack, as the status bar shows it. Header-only so the
// HUD can take it without linking the rules.
#include <array>
#include <cstdint>
#include <vector>

namespace Kubora {

struct RollSummary {
    std::vector<std::int32_t> rolls; // 1 to 6 each, in the order rolled
    std::int32_t total = 0;
    std::array<float, 3> colour{0.0f, 0.0f, 0.0f}; // that side's owner colour at the attack
};

} // namespace Kubora
