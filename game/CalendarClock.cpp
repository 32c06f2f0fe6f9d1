#include "game/CalendarClock.h"

#include <cstdlib>
#include <ctime>
#include <utility>

namespace Kubora {

namespace {

std::function<std::int32_t()>& installedClock()
{
    static std::function<std::int32_t()> clock;
    return clock;
}

} // namespace

std::int32_t calendarSeconds()
{
    if (const auto& clock = installedClock()) {
        return clock();
    }
    return static_cast<std::int32_t>(std::time(nullptr));
}

void setCalendarClock(std::function<std::int32_t()> clock)
{
    installedClock() = std::move(clock);
}

void seedWithCalendarSecond()
{
    std::srand(static_cast<unsigned>(calendarSeconds()));
}

std::int32_t rollDie()
{
    return std::rand() % 6 + 1;
}

} // namespace Kubora
