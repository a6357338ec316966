#pragma once

#include <cstdint>

// The ranges that tuning values are clamped into where they are read (see
// Settings::getIntWithin and getFloatWithin). Each is far wider than any sensible
// setting, so a config that plays today plays the same; what they keep out are values
// that would freeze the game, exhaust memory or turn positions into infinities.
struct IntLimits {
    int32_t lowest;
    int32_t highest;
};
struct FloatLimits {
    float lowest;
    float highest;
};

namespace limits {

// Window sizes; 0 still stands for the default size.
constexpr IntLimits windowSide{0, 16384};
// Any one pool of ink drops or splats, and any one spray.
constexpr IntLimits inkDrops{0, 65536};
// Durations in milliseconds: an hour at most, so timers never overflow.
constexpr IntLimits duration{0, 3600000};
// Uses of a weapon, minions in a wave.
constexpr IntLimits uses{0, 1000};
constexpr IntLimits minions{0, 32};

// Reaches, radii and offsets in world units (a level is a few hundred units long).
constexpr FloatLimits distance{0.0f, 1000.0f};
constexpr FloatLimits bodySize{0.0f, 10.0f};
// Per tick (walking) or per second (flying heads, ink); gravity in units per second².
constexpr FloatLimits speed{0.0f, 10000.0f};
constexpr FloatLimits gravity{0.0f, 10000.0f};
constexpr FloatLimits damage{0.0f, 1.0e6f};
// Fractions: a dead zone, a chance per drop (above 1 makes every drop, scaled by blows).
constexpr FloatLimits fraction{0.0f, 1.0f};
constexpr FloatLimits chance{0.0f, 1000.0f};
// How far a directed spray fans out sideways, relative to its direction.
constexpr FloatLimits spread{0.0f, 100.0f};

}  // namespace limits
