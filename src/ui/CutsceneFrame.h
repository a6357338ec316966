#pragma once

#include <string>

// One slide of a cutscene: a picture shown opaque for hold milliseconds, then for fade
// milliseconds in the way transition says.
struct CutsceneFrame {
    // 0 cross-fades into the next slide, 2 stays opaque, anything else shows nothing.
    static constexpr int CrossFade = 0;
    static constexpr int StayOpaque = 2;

    std::string texture;
    int hold = 0;
    int fade = 0;
    int transition = CrossFade;
    int line = 0;  // where the file defines it, for messages
};
