#include "core/FramePacer.h"

#include <algorithm>

namespace {

FramePacer::Duration periodOf(double hz) {
    return std::chrono::duration_cast<FramePacer::Duration>(std::chrono::duration<double>(1.0 / hz));
}

}  // namespace

// Only plausible rates are believed: a driver that reports 0 or thousands of hertz has
// not measured the display.
FramePacer::FramePacer(double refreshHz, bool swapWaits) {
    const double rate = refreshHz >= 20.0 && refreshHz <= 500.0 ? refreshHz : AssumedRefreshHz;
    spacing = periodOf(swapWaits ? std::max(rate, MostFramesPerSecond) : rate);
}

void FramePacer::drawing(TimePoint start) { due = std::max(due + spacing, start); }
