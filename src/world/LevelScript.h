#pragma once

#include <deque>
#include <istream>
#include <string>

#include "world/LevelEntries.h"

class TextFile;

// What a level file asks for, as lists sorted by the x at which each entry comes due.
// The level consumes the lists from the front as the players advance. Every entry keeps
// the line it came from, so a checker can name it.
class LevelScript {
public:
    // How much a level may ask of the game at once; the bundled levels stay far below
    // (at most 6 enemies on one trigger, 61 in a whole level). More enemies on one
    // trigger x than EnemiesAtOnce: the loader reports the first line beyond and leaves
    // those lines out. In play no more than EnemiesAtOnce come in on one tick and no more
    // than LivingEnemies live at once; an enemy whose trigger comes beyond either waits
    // for a later tick.
    static constexpr int EnemiesAtOnce = 32;
    static constexpr int LivingEnemies = 64;

    LevelScript() { clear(); }

    // Empty lists, no next level and an end that is never reached.
    void clear();
    // Every line of an open level file, then sort. `levelName` names the file in the
    // game's message about a line of unknown kind; every fault goes to the file's sink.
    void read(TextFile& file, const std::string& levelName);
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
    int endLine;  // line of the last "end"; 0 when the file has none
    std::string background;  // texture of the wall and floor; empty: "background"
    int backgroundLine;  // line of the last "background"; 0 when the file has none
    BossEntry boss;  // from the last "boss" line; its line is 0 when the file has none

private:
    void readBoss(std::istream& words, const TextFile& file, int at);
    // Leaves out the enemy lines beyond EnemiesAtOnce on one trigger x, reporting each crowd.
    void limitCrowds(const TextFile& file);
};
