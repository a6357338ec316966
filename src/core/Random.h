#pragma once

#include <cstdlib>

// The game's random numbers come from the C library generator, which the game never
// seeds, cut to 15 bits: glibc's generator reaches 2^31 - 1, and every chance in the game
// is worked out on the range 0..32767.
inline int random15() { return std::rand() % 32768; }

// random15() / 32768: a number in [0, 1).
inline double randomUnit() { return random15() / 32768.0; }

// Draws that only change what is seen (blood drops, drips, splats) come from a generator
// of their own, so frames drawn between ticks never move the fight's sequence. Same
// 15-bit range; a fixed start so a replay's pictures are alike too.
inline int visualRandom15() {
    static unsigned state = 12345u;
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7fff);
}

inline double visualRandomUnit() { return visualRandom15() / 32768.0; }
