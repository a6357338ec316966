#pragma once

#include <cstdint>
#include <string>

#include "CoinServerProcess.h"
#include "Dice.h"
#include "Director.h"
#include "GameInput.h"
#include "MemoryWatch.h"
#include "PlayerBot.h"
#include "ProgressWatch.h"
#include "StuckFigureWatch.h"

class Game;

// One soak run over the game in the working directory: the first half of the ticks in
// home mode, the rest in arcade mode against a coin server that is stopped and started
// again halfway through the arcade half; every tick the director and the two players
// act, the game ticks, and the watches look.
class Soak {
public:
    struct Options {
        uint32_t seed = 0;
        long ticks = 30000;
        std::string coinServer;
    };

    // Loads "config.dat", points the game at the coin server and opens the main menu.
    explicit Soak(const Options& options);
    // Takes the game down while the coin server it talks to still runs.
    ~Soak();

    void run();
    // Prints the tallies and the summary line; true when nothing was found.
    bool report(int sanitizerReports) const;
    // The tick being played, for reports that arrive from outside.
    static long tickInProgress();

private:
    void followSchedule(long tick);

    const Options options;
    CoinServerProcess coins;
    Game& game;
    Dice dice;
    GameInput input;
    Director director;
    PlayerBot bots[2];
    StuckFigureWatch stuck;
    ProgressWatch progress;
    MemoryWatch memory;
    long arcadeStart = 0;
    long serverStopped = 0;
    long playTicks = 0;
};
