#pragma once

#include <chrono>
#include <optional>
#include <string>

// Credits refused because none are left, kept from flooding the audit log: the first
// refusal after a quiet spell is written at once, the ones after it within the spell are
// counted and written as one line when it is over, so a sender repeating "U" a thousand
// times a second costs one synced line a minute.
class RefusalSummary {
public:
    using Clock = std::chrono::steady_clock;

    explicit RefusalSummary(Clock::duration spell);

    // True when this refusal is to be written now; otherwise it is counted.
    bool note(const std::string& sender, Clock::time_point now);
    // The line for the refusals counted, when their spell is over (or at once with
    // `now` = Clock::time_point::max()); nullopt when none is due.
    std::optional<std::string> due(Clock::time_point now);
    // When due() will next have a line; nullopt while nothing is counted.
    std::optional<Clock::time_point> nextDue() const;

private:
    const Clock::duration spell;
    std::optional<Clock::time_point> lastWritten;
    long counted = 0;
    std::string lastSender;
    std::string firstCountedAt;
};
