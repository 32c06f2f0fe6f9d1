#pragma once
// Who acts for a player: the person at the mouse or the program. Header-only so the HUD can show it.
#include <cstdint>

namespace Kubora {

// A plain 32-bit enumeration: the status bar stores whatever value it is given and draws a label
// only for these two.
enum PlayerKind : std::int32_t {
    Human = 0,
    Computer = 1,
};

} // namespace Kubora
