#pragma once
// Timing helpers shared by the GL benchmarks: process CPU time beside the wall clock, and a timed
// loop whose every iteration ends with glFinish.
#include <GL/glew.h> // before any other GL header
#include <benchmark/benchmark.h>

#include <ctime>

namespace kubora::bench {

// CPU time of the whole process (the renderer's worker threads included), in milliseconds. On a
// machine shared with other work this says more than the wall clock about what a frame costs.
inline double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times the loop's body and records the process CPU time per iteration beside the wall clock.
template <typename Body> void measure(benchmark::State& state, Body body)
{
    const double start = processCpuMilliseconds();
    for (auto _ : state) {
        body();
        glFinish();
    }
    state.counters["processCpuMs"] =
        benchmark::Counter((processCpuMilliseconds() - start) / static_cast<double>(state.iterations()));
}

} // namespace kubora::bench
