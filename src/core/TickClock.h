#pragma once

#include <chrono>

// The game's fixed step on a monotonic clock. A tick of exactly 20 ms of game time falls
// due every 20 ms of real time, however long frames take: after a slow frame the ticks
// that came due meanwhile run back to back before the next frame, so a machine that
// draws slowly shows fewer frames, never a slower game. Pure arithmetic on time points
// handed in, so its rules can be tried without waiting.
class TickClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;

    static constexpr Duration Step = std::chrono::milliseconds(20);
    // The most real time made up after a stall; a longer stall (a dragged window, a
    // machine that swapped) is skipped rather than raced through.
    static constexpr Duration MostCaughtUp = std::chrono::milliseconds(250);
    // A tick an online game held back is tried again this soon, so input that arrives
    // just after a try costs a couple of milliseconds rather than a whole tick.
    static constexpr Duration HeldRetry = std::chrono::milliseconds(2);
    // Ticks run in one go at most, so a frame is still drawn now and then even on a
    // machine whose ticks alone take longer than 20 ms.
    static constexpr int MostTicksInARow = static_cast<int>(MostCaughtUp / Step) + 1;

    // The first tick falls due one step after `start`.
    explicit TickClock(TimePoint start);

    // Whether a tick is due at `now`. A backlog beyond MostCaughtUp is dropped first.
    bool tickDue(TimePoint now);
    // The due tick ran: the next one is due one step after it.
    void ticked();
    // The due tick was held back (an online game waiting for the other side's input).
    // It is tried again after HeldRetry, and the wait is not made up afterwards: both
    // machines keep to a grid that restarts where the wait ended.
    void held(TimePoint now);
    // When the next tick (or the retry of a held one) is due.
    TimePoint nextDue() const { return due; }
    // How far `now` lies between the last tick and the next one, from 0 to 1: what a
    // frame drawn now blends the last two ticks by.
    double blendAt(TimePoint now) const;
    // Real time dropped so far by stalls longer than MostCaughtUp.
    Duration skipped() const { return dropped; }

private:
    TimePoint due;
    bool retrying = false;
    Duration dropped{0};
};
