#pragma once

#include <string>
#include <vector>

#include "characters/Animation.h"

// One cell of a contact sheet: a moment of playback (0 shows key frame 1, where
// playback begins) and what to print under it.
struct SheetMoment {
    unsigned time = 0;
    std::string label;
};

// The moments worth drawing: every key frame the player reaches plus `perSegment` - 1
// evenly spaced poses inside each segment. A one-shot runs to the moment it ends; a
// loop runs one full cycle, through the jump back to key frame 0, and ends on key
// frame 1 again.
std::vector<SheetMoment> sheetTimeline(const Animation& animation, bool looping, int perSegment);
