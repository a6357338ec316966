#include "SheetTimeline.h"

namespace {

void addSegment(std::vector<SheetMoment>& moments, unsigned start, unsigned duration,
                const std::string& keyLabel, int perSegment) {
    moments.push_back({start, keyLabel});
    if (duration == 0) {
        return;
    }
    for (int step = 1; step < perSegment; ++step) {
        moments.push_back({start + duration * static_cast<unsigned>(step) / static_cast<unsigned>(perSegment), ""});
    }
}

unsigned durationOf(const Animation& animation, std::size_t frame) {
    return static_cast<unsigned>(animation[frame].duration);
}

}  // namespace

std::vector<SheetMoment> sheetTimeline(const Animation& animation, bool looping, int perSegment) {
    std::vector<SheetMoment> moments;
    const std::size_t n = animation.size();
    if (n < 3) {
        moments.push_back({0, n == 0 ? "empty" : "K" + std::to_string(n - 1)});
        return moments;
    }
    unsigned time = 0;
    for (std::size_t frame = 1; frame + 1 < n; ++frame) {
        addSegment(moments, time, durationOf(animation, frame), "K" + std::to_string(frame), perSegment);
        time += durationOf(animation, frame);
    }
    if (looping) {
        addSegment(moments, time, durationOf(animation, 0), "K0 (jump)", perSegment);
        time += durationOf(animation, 0);
        moments.push_back({time, "K1"});
    } else {
        moments.push_back({time, "K" + std::to_string(n - 1) + " end"});
    }
    return moments;
}
