#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/BossLook.h"

// One record per line of a level script, with the line it came from. Fields that a
// short line does not supply keep these defaults.

// An enemy that comes in from an edge of the view once the players reach triggerX.
struct EnemyEntry {
    int32_t side = 0;  // 0: left edge, facing right; otherwise the right edge, facing left
    int32_t minPlayers = 0;
    double triggerX = 0.0;
    double z = 0.0;
    uint32_t type = 0;  // kinds 0..3, 4 the boss
    uint32_t weapon = 0;  // 0 none, 1 a stick, 2 a head
    int line = 0;

    // Another weapon spawns the enemy unarmed; another kind fights as kind 0.
    bool knownWeapon() const { return weapon <= 2; }
    bool knownKind() const { return type <= 4; }
};

struct ObstacleEntry {
    std::string texture;
    double radius = 0.0;
    double width = 0.0;
    double height = 0.0;
    double x = 0.0;
    double z = 0.0;
    int32_t contents = 0;
    int line = 0;
};

// A health pickup: type 1 small, 2 medium, 3 large.
struct ItemEntry {
    double x = 0.0;
    double z = 0.0;
    int32_t type = 0;
    int line = 0;

    // Another type places nothing.
    bool knownType() const { return type >= 1 && type <= 3; }
};

// Plays only in a game with exactly `players` players.
struct CutsceneEntry {
    double x = 0.0;
    std::string file;
    int32_t players = 0;
    int line = 0;
};

struct MusicEntry {
    double x = 0.0;
    std::string file;
    float level = 0.0f;  // kept from the file; it changes nothing
    int line = 0;
};

// The level's boss as the players see it: the name on its health bar (printable, at
// most MaxNameLength characters; empty: a bar without a name) and what it wears.
struct BossEntry {
    static constexpr std::size_t MaxNameLength = 32;

    std::string name;
    BossLook look;
    int line = 0;
};
