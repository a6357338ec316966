#pragma once

#include "world/Color.h"
#include "world/Vec3.h"

// One drop of ink: flying, lying on the floor as a splat, or fading away.
// All three of Ink's pools hold this same record, so a landing drop is copied as is.
struct InkParticle {
    Vec3 position;
    // Where a flying drop was when the latest tick moved it; frames drawn before the next
    // tick show it between there and `position`.
    Vec3 tickStartPosition;
    Vec3 velocity;  // units per second
    float angle = 0.0f;  // degrees
    float spin = 0.0f;  // degrees per second while flying
    float size = 0.0f;  // scale of the drawn star
    float shrinkRate = 0.0f;  // size lost per second while fading
    bool makesSplat = false;
    Color colour;
};
