#pragma once

#include <cstdint>
#include <vector>

#include "world/Vec3.h"

// What a collision circle stands for.
enum class RegionType : int32_t {
    Solid = 0,   // bodies that push each other apart
    Attack = 1,  // a striking fist, weapon or flying head
    Body = 2,    // a part that can be hit
    Reach = 3,   // hands that can pick things up
    Pickup = 4,  // something that can be picked up
};

// One collision circle on the floor plane, centred at the owner's position + offset.
struct Region {
    RegionType type = RegionType::Solid;
    Vec3 offset;
    double radius = 0.0;  // 0 or less never overlaps
};

using RegionList = std::vector<Region>;
