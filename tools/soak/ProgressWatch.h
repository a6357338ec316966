#pragma once

#include <string>

class Game;
class Player;

// Finds a game that stops getting anywhere: while a player is alive and the world runs,
// something must happen within QuietLimitMilliseconds of game time: the view scrolls
// further than before, an enemy dies, a player dies, joins or comes back, a cutscene
// starts, a level begins. Pausing neither counts nor clears.
//
// The bound: a stop point holds the view until its last enemy is down, and an enemy left
// standing keeps hitting back, so a fight that goes on produces kills or deaths. In
// nine hour-long runs of random play the longest stretch without any of these events
// was 28.5 s of game time; a minute of nothing at all means a figure nobody can reach,
// or a level that cannot go on.
class ProgressWatch {
public:
    static constexpr int QuietLimitMilliseconds = 60000;

    // After every tick; `worldRan` tells whether the tick ran the world.
    void observe(const Game& game, long tick, bool worldRan);
    int stalls() const { return stallCount; }
    int levelChanges() const { return levelChangeCount; }
    int longestQuietMilliseconds() const { return longestQuiet; }

private:
    struct Snapshot {
        std::string level;
        const Player* player1 = nullptr;
        const Player* player2 = nullptr;
        int livingPlayers = 0;
        int livingEnemies = 0;
        bool cutscene = false;
    };
    static Snapshot take(const Game& game);
    void report(const Game& game, long tick) const;

    Snapshot last;
    double furthestScroll = 0.0;
    int quiet = 0;
    int longestQuiet = 0;
    bool reported = false;
    int stallCount = 0;
    int levelChangeCount = 0;
};
