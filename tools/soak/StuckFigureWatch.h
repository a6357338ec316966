#pragma once

#include <map>

#include "world/Vec3.h"

class Enemy;
class Game;

// Finds enemies that walk on the spot: a figure that keeps asking to move (it is in its
// walking state after the tick) while a living player is there to reach, but stays
// within StillRadius of where it was for more than StallMilliseconds of game time.
// Standing between steps neither counts nor clears; a blow, a pick-up, a recoil, a
// strike or a deliberate wait clears the count, as does any real step away.
class StuckFigureWatch {
public:
    static constexpr double StillRadius = 1.0;
    static constexpr int StallMilliseconds = 5000;

    // After every tick that ran the world (not under a menu or a cutscene); prints each
    // stall once, with the tick.
    void observe(const Game& game, long tick);
    int stalls() const { return stallCount; }

private:
    struct Track {
        Vec3 anchor;
        int walkingMilliseconds = 0;
        long seen = -1;  // the round it was last seen in
        // Where it was last reported: a figure stuck in one place counts once.
        bool reported = false;
        Vec3 reportedAt;
    };

    void report(const Game& game, const Enemy& enemy, long tick) const;

    std::map<const Enemy*, Track> tracks;
    long round = 0;
    int stallCount = 0;
};
