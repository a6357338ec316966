#pragma once

// The game's random numbers come from the C library generator, which the game never
// seeds, cut to 15 bits: glibc's generator reaches 2^31 - 1, and every chance in the game
// is worked out on the range 0..32767. The generator's state belongs to the match of the
// current Game (see CRandom), so a copied match draws the same numbers again.
int random15();

// random15() / 32768: a number in [0, 1).
inline double randomUnit() { return random15() / 32768.0; }

// Starts the current match's sequence again, as srand(seed) would.
void seedRandom(unsigned seed);

// Draws that only change what is seen (blood drops, drips, splats) come from a generator
// of their own (see VisualRandom), in the same range.
int visualRandom15();

inline double visualRandomUnit() { return visualRandom15() / 32768.0; }
