#pragma once

#include <array>

// Where the eye is, seen from the current origin: the one direction that the current GL
// projection and placement send to x = y = w = 0. It is a point for a perspective and a
// direction for a parallel projection. Needs a GL context.
struct EyePosition {
    std::array<double, 3> at;
    // False for a parallel projection, whose eye lies at infinity along `at`.
    bool point;

    static EyePosition current();
};
