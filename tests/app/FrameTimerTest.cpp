// The performance counter and the frame timer built on it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/FrameTimer.h"
#include "app/PerformanceCounter.h"

TEST(PerformanceCounter, CountsNanosecondsMonotonically)
{
    EXPECT_EQ(Kubora::performanceFrequency(), 1'000'000'000);
    const std::int64_t first = Kubora::performanceCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const std::int64_t second = Kubora::performanceCount();
    EXPECT_GE(second - first, 2'000'000);
}

TEST(FrameTimer, ElapsedMillisecondsFromCountsAndFrequency)
{
    Kubora::FrameTimer timer;
    EXPECT_EQ(timer.elapsedMilliseconds(), 0.0); // frequency not known yet
    timer.frequency = 1'000'000'000;
    timer.startCount = 5'000'000'000'000;
    timer.endCount = 5'000'016'000'000;
    EXPECT_DOUBLE_EQ(timer.elapsedMilliseconds(), 16.0);
    timer.frequency = 10'000'000; // a 100 ns counter
    timer.startCount = 0;
    timer.endCount = 12'345;
    EXPECT_DOUBLE_EQ(timer.elapsedMilliseconds(), 1.2345);
}

TEST(FrameTimer, MeasuresTheTimeBetweenStartAndStop)
{
    Kubora::FrameTimer timer;
    timer.frequency = Kubora::performanceFrequency();
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    timer.stop();
    EXPECT_GE(timer.elapsedMilliseconds(), 3.0);
    EXPECT_LT(timer.elapsedMilliseconds(), 1000.0);
}
