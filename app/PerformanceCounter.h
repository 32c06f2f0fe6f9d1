#pragma once
// The high-resolution performance counter: a monotonic 64-bit count and its rate in counts per second.
#include <cstdint>

namespace Kubora {

// The current count of the monotonic clock; only differences between two counts mean anything.
std::int64_t performanceCount();

// Counts per second of performanceCount.
std::int64_t performanceFrequency();

} // namespace Kubora
