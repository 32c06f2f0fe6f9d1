#pragma once
// Timing helpers shared by the GL benchmarks: process CPU time beside the wall clock, and a timed
// loop whose every iteration ends with glFinish.
#include <GL/glew.h> // before any other GL header
#include <benchmark/benchmark.h>

#include <malloc.h> // mallinfo2
#include <unistd.h> // sysconf

#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>

namespace kubora::bench {

// CPU time of the whole process (the renderer's worker threads included), in milliseconds. On a
// machine shared with other work this says more than the wall clock about what a frame costs.
inline double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct MemoryUse {
    std::int64_t residentKilobytes = 0; // the whole process, driver included
    std::int64_t heapKilobytes = 0;     // malloc's blocks in use
};

inline MemoryUse memoryUse()
{
    MemoryUse use;
    std::ifstream statm("/proc/self/statm");
    std::int64_t pages = 0;
    std::int64_t resident = 0;
    if (statm >> pages >> resident) {
        use.residentKilobytes = resident * (sysconf(_SC_PAGESIZE) / 1024);
    }
    const struct mallinfo2 heap = mallinfo2();
    use.heapKilobytes = static_cast<std::int64_t>((heap.uordblks + heap.hblkhd) / 1024);
    return use;
}

// Times the loop's body and records the process CPU time per iteration beside the wall clock.
// Returns the wall-clock milliseconds per iteration, for figures that compare one benchmark with another.
template <typename Body> double measure(benchmark::State& state, Body body)
{
    const double start = processCpuMilliseconds();
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
        glFinish();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["processCpuMs"] = benchmark::Counter((processCpuMilliseconds() - start) / iterations);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count() /
           iterations;
}

} // namespace kubora::bench
