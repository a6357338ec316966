#include "RefusalSummary.h"

#include "UtcTime.h"

RefusalSummary::RefusalSummary(Clock::duration spell) : spell(spell) {}

bool RefusalSummary::note(const std::string& sender, Clock::time_point now) {
    if (counted == 0 && (!lastWritten || now - *lastWritten >= spell)) {
        lastWritten = now;
        return true;
    }
    if (counted == 0) {
        firstCountedAt = utcTime("%H:%M:%SZ");
    }
    ++counted;
    lastSender = sender;
    return false;
}

std::optional<std::string> RefusalSummary::due(Clock::time_point now) {
    const std::optional<Clock::time_point> when = nextDue();
    if (!when || now < *when) {
        return std::nullopt;
    }
    const std::string line = "credit refused " + std::to_string(counted) +
                             (counted == 1 ? " more time" : " more times") + " since " + firstCountedAt +
                             ", last to " + lastSender + ": none left";
    counted = 0;
    lastWritten = now == Clock::time_point::max() ? Clock::now() : now;
    return line;
}

std::optional<RefusalSummary::Clock::time_point> RefusalSummary::nextDue() const {
    if (counted == 0) {
        return std::nullopt;
    }
    return *lastWritten + spell;
}
