#pragma once

// The dice of what is only seen (blood drops, drips, splats): a generator of their own,
// so frames drawn between ticks never move the fight's sequence. Its state still goes
// with the match, so a match brought back draws its blood as it did before. Same 15-bit
// range as the fight's; a fixed start so that a replay's pictures are alike too.
class VisualRandom {
public:
    // 0..32767.
    int next15() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) & 0x7fff);
    }

private:
    unsigned state = 12345u;
};
