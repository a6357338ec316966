#include <gtest/gtest.h>

#include "core/FramePacer.h"
#include "core/TickClock.h"

// The fixed step against a clock the test moves by hand: how many ticks a stretch of real
// time gives, whatever the frames between them cost, and how often frames come.
namespace {

using namespace std::chrono_literals;
using TimePoint = TickClock::TimePoint;

const TimePoint kStart = TimePoint() + 1h;

// Runs every tick due at `now` as the main loop does; answers how many ran.
int runDue(TickClock& clock, TimePoint now) {
    int ran = 0;
    while (ran < TickClock::MostTicksInARow && clock.tickDue(now)) {
        clock.ticked();
        ++ran;
    }
    return ran;
}

// Frames of 5, 45 and 130 ms: every 20 ms of real time is one tick, the slow frames only
// run the ticks that fell due back to back.
TEST(PacingTest, SlowFramesCostFramesNotTicks) {
    for (const auto frame : {5ms, 45ms, 130ms}) {
        TickClock clock(kStart);
        int ticks = 0;
        int frames = 0;
        TimePoint now = kStart;
        while (now < kStart + 10s) {
            ticks += runDue(clock, now);
            now += frame;
            ++frames;
        }
        ticks += runDue(clock, kStart + 10s);
        EXPECT_EQ(ticks, 500) << "frames of " << frame.count() << " ms";
        EXPECT_EQ(frames, (10s + frame - 1ms) / frame);
    }
}

TEST(PacingTest, AStallLongerThanAQuarterSecondIsSkippedNotRacedThrough) {
    TickClock clock(kStart);
    EXPECT_EQ(runDue(clock, kStart + 100ms), 5);
    EXPECT_EQ(runDue(clock, kStart + 100ms + 5s), TickClock::MostCaughtUp / TickClock::Step + 1);
    EXPECT_EQ(clock.skipped(), 5s + 100ms - 120ms - TickClock::MostCaughtUp);
    EXPECT_EQ(runDue(clock, kStart + 100ms + 5s + 20ms), 1) << "the grid carries on from the stall";
}

// An online game holds a tick until the other side's input is in: it is tried again 2 ms
// later, and the game does not race to make the wait up afterwards.
TEST(PacingTest, AHeldTickIsRetriedSoonAndTheWaitIsNotMadeUp) {
    TickClock clock(kStart);
    TimePoint now = kStart + 20ms;
    ASSERT_TRUE(clock.tickDue(now));
    for (int tries = 0; tries < 40; ++tries) {
        clock.held(now);
        EXPECT_EQ(clock.nextDue(), now + 2ms);
        now = clock.nextDue();
        ASSERT_TRUE(clock.tickDue(now));
    }
    clock.ticked();
    EXPECT_EQ(runDue(clock, now + 19ms), 0);
    EXPECT_EQ(runDue(clock, now + 20ms), 1);
}

// Frames blend the last two ticks by how far the present lies between them; a held tick
// leaves the picture where the last one put it.
TEST(PacingTest, FramesBlendByTheTimeSinceTheLastTick) {
    TickClock clock(kStart);
    ASSERT_EQ(runDue(clock, kStart + 20ms), 1);
    EXPECT_DOUBLE_EQ(clock.blendAt(kStart + 20ms), 0.0);
    EXPECT_DOUBLE_EQ(clock.blendAt(kStart + 25ms), 0.25);
    EXPECT_DOUBLE_EQ(clock.blendAt(kStart + 39ms), 0.95);
    EXPECT_DOUBLE_EQ(clock.blendAt(kStart + 70ms), 1.0) << "behind: the latest tick as it is";
    clock.held(kStart + 40ms);
    EXPECT_DOUBLE_EQ(clock.blendAt(kStart + 41ms), 1.0);
}

// Without a swap that waits for the display, frames come at its refresh rate (60 Hz when
// it cannot be learnt), never as fast as the machine allows; a late frame is followed by
// one more at once, not by a burst.
TEST(PacingTest, FramesFollowTheRefreshRate) {
    const auto framesInASecond = [](FramePacer pacer, std::chrono::milliseconds cost) {
        int frames = 0;
        for (TimePoint now = kStart; now < kStart + 1s; now += 1ms) {
            if (pacer.frameDue(now)) {
                pacer.drawing(now);
                now += cost;
                ++frames;
            }
        }
        return frames;
    };
    EXPECT_NEAR(framesInASecond(FramePacer(0.0, false), 1ms), 60, 1);
    EXPECT_NEAR(framesInASecond(FramePacer(144.0, false), 1ms), 144, 2);
    EXPECT_NEAR(framesInASecond(FramePacer(60.0, false), 40ms), 25, 1);
    EXPECT_NEAR(framesInASecond(FramePacer(60.0, true), 1ms), 250, 5) << "a swap that does not wait is still capped";
}

}  // namespace
