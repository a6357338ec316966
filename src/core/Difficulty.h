#pragma once

// How hard the game is: the integer setting "difficulty", -1 Easy, 0 (or absent) Normal,
// 1 Hard; other values count as the nearest of these. Normal is the game exactly as
// tuned; the others scale the damage players take and the health enemies (the bosses
// too) start with. A setting like any other, so replays and online games carry it.
class Difficulty {
public:
    enum Level { Easy = -1, Normal = 0, Hard = 1 };

    // The level the settings hold now (built again whenever they change).
    static Level inForce();
    static Level fromSetting(int value);
    static float playerDamageFactor(Level level);
    static float enemyHealthFactor(Level level);
    static const char* name(Level level);
};
