#pragma once

#include <chrono>

// When the next frame is drawn. Frames follow the display's refresh: where the driver
// waits for it at the buffer swap, that wait paces them and the pacer only keeps them
// from running away should the wait not happen; elsewhere (software GL, a virtual X
// server) the pacer spaces them one refresh period apart, so an idle menu never draws as
// fast as the machine can. A frame that took too long is followed by the next one at
// once, never by a burst of frames to catch up.
class FramePacer {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    // The refresh rate assumed where the display's own cannot be learnt.
    static constexpr double AssumedRefreshHz = 60.0;
    // With the swap waiting for the display: frames at most this often, in case it does not.
    static constexpr double MostFramesPerSecond = 250.0;

    // `refreshHz` 0 or below: unknown. `swapWaits`: the swap waits for the display.
    FramePacer(double refreshHz, bool swapWaits);

    bool frameDue(TimePoint now) const { return now >= due; }
    // A frame began at `start`.
    void drawing(TimePoint start);
    TimePoint nextDue() const { return due; }
    Duration period() const { return spacing; }

private:
    Duration spacing;
    TimePoint due{};
};
