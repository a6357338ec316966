#include "core/FrameLoop.h"

#include <algorithm>
#include <thread>

#include "core/Game.h"
#include "core/InputSeam.h"
#include "input/InputDevices.h"

namespace {

constexpr int kTickMilliseconds = 20;

TickClock::TimePoint now() { return TickClock::Clock::now(); }

}  // namespace

FrameLoop::FrameLoop(Game& theGame, InputDevices& inputDevices, const Options& chosen)
    : game(theGame), devices(inputDevices), options(chosen), clock(now()), report(PaceReport::fromEnvironment()) {}

void FrameLoop::wake() {
    // Never more in a row than a stall is caught up by: a machine whose ticks alone
    // overrun still shows a frame now and then.
    for (int run = 0; run < TickClock::MostTicksInARow && clock.tickDue(now()); ++run) {
        devices.poll();
        ticksSinceFrame = true;
        if (!runGameTicks()) {
            clock.held(now());
            break;
        }
        clock.ticked();
        report.tickRan(now(), clock.skipped());
    }
    if (frameWanted() && options.pacer.frameDue(now())) {
        drawFrame();
    }
}

// A replay being watched may run several game ticks in one of the clock's, or none.
bool FrameLoop::runGameTicks() {
    const int due = InputSeam::instance().ticksThisFrame();
    for (int tick = 0; tick < due; ++tick) {
        if (!game.update(kTickMilliseconds)) {
            return false;
        }
    }
    return true;
}

void FrameLoop::drawFrame() {
    const TickClock::TimePoint start = now();
    options.pacer.drawing(start);
    game.draw(options.interpolate ? clock.blendAt(start) : 1.0);
    ticksSinceFrame = false;
    if (options.frameDelay.count() > 0) {
        std::this_thread::sleep_for(options.frameDelay);
    }
    report.frameDrawn();
}

bool FrameLoop::frameWanted() const { return ticksSinceFrame || (options.interpolate && game.isWorldMoving()); }

int FrameLoop::millisecondsToNext() const {
    const auto next = frameWanted() ? std::min(clock.nextDue(), options.pacer.nextDue()) : clock.nextDue();
    const auto wait = next - now();
    const auto rounded = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return static_cast<int>(std::max<decltype(rounded)>(rounded, 0));
}
