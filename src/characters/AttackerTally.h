#pragma once

#include <array>

// How many enemies currently claim player 1 and player 2 as their target; part of the
// Match of a game in progress.
class AttackerTally {
public:
    // The tally of the current Game's match.
    static AttackerTally& instance();

    void reset() { counts = {0, 0}; }
    int& count(int playerIndex) { return counts[playerIndex]; }
    int count(int playerIndex) const { return counts[playerIndex]; }

private:
    std::array<int, 2> counts{0, 0};
};
