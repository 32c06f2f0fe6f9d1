#pragma once
// The calendar time in whole seconds that turns and the seeding of the dice read. One replaceable
// function, so tests can pick the second (and with it the generator's sequence) and run turns
// without waiting.
#include <cstdint>
#include <functional>

namespace Kubora {

// The current calendar second, from the installed clock (the real calendar time by default).
std::int32_t calendarSeconds();

// Installs a clock; an empty function restores the real calendar time.
void setCalendarClock(std::function<std::int32_t()> clock);

// Re-seeds the C library's generator with the current calendar second.
void seedWithCalendarSecond();

// One six-sided roll from the C library's generator: rand() modulo 6, plus 1.
std::int32_t rollDie();

} // namespace Kubora
