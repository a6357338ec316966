#pragma once

#include "world/Color.h"
#include "world/Vec3.h"

// What tells a player which figure is theirs among enemies of nearly the same colour: a
// ring on the floor around the feet in a bright form of the player's colour, rimmed in
// white so it shows on a dark ink blot as on white paper, with a pointer on the side the
// player faces; and the player's number over the head. Both are drawn in world
// coordinates with the depth test off: the ring after the floor's shadows and before
// the objects, the number after every object.
class PlayerMarker {
public:
    // The player's hue at full brightness, lightened a little towards white.
    static Color ringColour(const Color& playerColour);
    static void drawRing(const Vec3& feet, const Color& playerColour, bool facingLeft);
    // The number centred above `top`, facing the eye.
    static void drawNumber(const Vec3& top, int number, const Color& playerColour);

    // Half the ring's size along x and along z, to its outer rim.
    static constexpr double RingHalfWidth = 1.9;
    static constexpr double RingHalfDepth = 1.5;
};
