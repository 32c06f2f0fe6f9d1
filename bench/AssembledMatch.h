#pragma once
// The assembled game as the benchmarks that play a match set it up: a game in a 1024 x 768 window, the
// pointer brought to the window's centre, and the board after ended turns of the real rules, played
// without drawing with the calendar clock replaced by a simulated one (so the same board every run):
// space pressed every 0.4 s of simulated time at 30 frames a second, as scripts/measure-fps.sh presses
// it, then every glide finished.
#include <cstddef>
#include <memory>

namespace Kubora {
class Application;
} // namespace Kubora

namespace kubora::bench {

inline constexpr int matchWindowWidth = 1024;
inline constexpr int matchWindowHeight = 768;
// The match of scripts/measure-fps.sh: 480 ended turns.
inline constexpr int eveningTurns = 480;

// Replaces the calendar clock with the simulated one, which starts at a fixed second (it seeds every roll
// and choice) and follows playTurns.
void useSimulatedCalendar();
// Puts the calendar clock back.
void useRealCalendar();

// One assembled game, made current, and one frame drawn (vertex buffers).
std::unique_ptr<Kubora::Application> assembledGame();

// A few frames with the pointer on the window's centre: the pick ray comes from the frame before, and
// the hovered tile from the pick before, so the spot light hangs over the tile there after three.
void hoverCentre();

// Ends `endedTurns` turns as the space key does, letting the computer players move as they would in the
// time between presses, then lets every glide finish. Returns the dice in play.
std::size_t playTurns(Kubora::Application& application, int endedTurns);

} // namespace kubora::bench
