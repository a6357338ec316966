#pragma once

#include <deque>
#include <string>

#include "world/LevelEntries.h"

// What a level file asks for, as lists sorted by the x at which each entry comes due.
// The level consumes the lists from the front as the players advance.
class LevelScript {
public:
    LevelScript() { clear(); }

    // Empty lists, no next level and an end that is never reached.
    void clear();
    // One line of a level file; `levelName` only names the file in the message about a
    // line of unknown kind.
    void readLine(const std::string& line, const std::string& levelName);
    // Orders every list by its key; entries with equal keys keep their file order.
    void sort();

    std::deque<EnemyEntry> enemies;
    std::deque<ObstacleEntry> obstacles;
    std::deque<double> stops;
    std::deque<ItemEntry> items;
    std::deque<CutsceneEntry> cutscenes;
    std::deque<MusicEntry> music;
    double endPosition;  // scroll position at which the level is finished
    std::string nextLevel;  // empty: the game ends after this level
    std::string background;  // texture of the wall and floor; empty: "background"
};
