#pragma once

#include <chrono>

// With MARGIN_BRAWLER_TICK_REPORT=N in the environment, prints once how the first N
// ticks went: their mean real period (20 ms when the game keeps time), the frames drawn
// meanwhile and the real time that stalls too long to make up cost, e.g. "Tick period
// over 500 ticks: 20.010 ms; 212 frames (42.4 a second); 0 ms skipped".
class PaceReport {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // 0 or less: reports nothing.
    explicit PaceReport(long ticksWanted);
    static PaceReport fromEnvironment();

    // `skipped`: the clock's real time dropped so far.
    void tickRan(TimePoint now, std::chrono::steady_clock::duration skipped);
    void frameDrawn();

private:
    long wanted;
    long ticks = 0;
    long frames = 0;
    TimePoint start;
    std::chrono::steady_clock::duration skippedBefore{0};
};
