#pragma once
// Start and end counts of one frame's drawing, read from the performance counter.
#include <cstdint>

namespace Kubora {

struct FrameTimer {
    std::int64_t startCount = 0;
    std::int64_t endCount = 0;
    std::int64_t frequency = 0; // counts per second

    void start();
    void stop();
    // The time between start and stop in milliseconds; 0 while the frequency is unknown.
    double elapsedMilliseconds() const;
};

} // namespace Kubora
