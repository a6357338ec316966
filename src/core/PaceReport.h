#pragma once

#include <chrono>

// With MARGIN_BRAWLER_TICK_REPORT=N in the environment, prints once how the first N
// ticks went: their mean real period (20 ms when the game keeps time) and the frames
// drawn meanwhile, e.g. "Tick period over 500 ticks: 20.01 ms; 212 frames (42.4 a second)".
class PaceReport {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // 0 or less: reports nothing.
    explicit PaceReport(long ticksWanted);
    static PaceReport fromEnvironment();

    void tickRan(TimePoint now);
    void frameDrawn();

private:
    long wanted;
    long ticks = 0;
    long frames = 0;
    TimePoint start;
};
