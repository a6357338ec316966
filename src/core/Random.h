#pragma once

#include <cstdlib>

// The game's random numbers come from the C library generator, which the game never
// seeds, cut to 15 bits: glibc's generator reaches 2^31 - 1, and every chance in the game
// is worked out on the range 0..32767.
inline int random15() { return std::rand() % 32768; }

// random15() / 32768: a number in [0, 1).
inline double randomUnit() { return random15() / 32768.0; }
