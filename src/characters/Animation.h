#pragma once

#include <cstdint>
#include <vector>

#include "characters/BodyParts.h"

// One record of an animation file: a full pose and how long the segment that starts
// here lasts.
struct Keyframe {
    Pose angles{};
    int32_t duration = 0;
};

// Key frames in file order. Owned by the AnimationLibrary and never changed after
// loading, so players may keep plain pointers to it.
struct Animation {
    std::vector<Keyframe> keyframes;

    std::size_t size() const { return keyframes.size(); }
    bool empty() const { return keyframes.empty(); }
    const Keyframe& operator[](std::size_t index) const { return keyframes[index]; }
};
