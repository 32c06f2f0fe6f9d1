#include "app/PerformanceCounter.h"

#include <chrono>

namespace Kubora {

namespace {

using Clock = std::chrono::steady_clock;
static_assert(Clock::is_steady);
static_assert(Clock::period::num == 1, "counts must be whole fractions of a second");

} // namespace

std::int64_t performanceCount()
{
    return static_cast<std::int64_t>(Clock::now().time_since_epoch().count());
}

std::int64_t performanceFrequency()
{
    return static_cast<std::int64_t>(Clock::period::den);
}

} // namespace Kubora
