#include "core/PaceReport.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

PaceReport::PaceReport(long ticksWanted) : wanted(ticksWanted) {}

PaceReport PaceReport::fromEnvironment() {
    const char* text = std::getenv("MARGIN_BRAWLER_TICK_REPORT");
    return PaceReport(text != nullptr ? std::strtol(text, nullptr, 10) : 0L);
}

// The period runs from the first tick to the last of the N, so N ticks span N periods.
void PaceReport::tickRan(TimePoint now, std::chrono::steady_clock::duration skipped) {
    if (wanted <= 0 || ticks > wanted) {
        return;
    }
    if (ticks == 0) {
        start = now;
        frames = 0;
        skippedBefore = skipped;
    } else if (ticks == wanted) {
        const double total = std::chrono::duration<double, std::milli>(now - start).count();
        const double lost = std::chrono::duration<double, std::milli>(skipped - skippedBefore).count();
        char line[200];
        std::snprintf(line, sizeof line,
                      "Tick period over %ld ticks: %.3f ms; %ld frames (%.1f a second); %.0f ms skipped\n", wanted,
                      total / wanted, frames, total > 0.0 ? frames * 1000.0 / total : 0.0, lost);
        std::cout << line << std::flush;
    }
    ++ticks;
}

void PaceReport::frameDrawn() {
    if (ticks > 0 && ticks <= wanted) {
        ++frames;
    }
}
