#include "app/FrameTimer.h"

#include "app/PerformanceCounter.h"

namespace Kubora {

void FrameTimer::start()
{
    startCount = performanceCount();
}

void FrameTimer::stop()
{
    endCount = performanceCount();
}

double FrameTimer::elapsedMilliseconds() const
{
    if (frequency <= 0) {
        return 0.0;
    }
    return static_cast<double>(endCount - startCount) / static_cast<double>(frequency) * 1000.0;
}

} // namespace Kubora
