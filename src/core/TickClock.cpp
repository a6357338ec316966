#include "core/TickClock.h"

#include <algorithm>

TickClock::TickClock(TimePoint start) : due(start + Step) {}

bool TickClock::tickDue(TimePoint now) {
    if (now - due > MostCaughtUp) {
        dropped += now - MostCaughtUp - due;
        due = now - MostCaughtUp;
    }
    return now >= due;
}

void TickClock::ticked() {
    due += Step;
    retrying = false;
}

void TickClock::held(TimePoint now) {
    due = now + HeldRetry;
    retrying = true;
}

double TickClock::blendAt(TimePoint now) const {
    // A held tick leaves the last one standing: frames show it as it is.
    if (retrying) {
        return 1.0;
    }
    const double ahead = std::chrono::duration<double>(due - now) / std::chrono::duration<double>(Step);
    return std::clamp(1.0 - ahead, 0.0, 1.0);
}
