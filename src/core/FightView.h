#pragma once

#include <array>
#include <string>

#include "render/BossBar.h"

class Boss;
class Game;
class Player;

// What the game draws under, over and on top of a fight so that a player can read it: a
// shadow under everything that stands on the floor or flies over it (setting "shadows"),
// a ring under each player with the player's number over the head for the first seconds
// of a level or a join and whenever the player stands in a crowd, and the health bar of
// a living boss. It reads the world and never changes it; its clocks are its own and no
// replay or peer sees them. The Game owns one and calls it from its tick and its frame.
class FightView {
public:
    // How long a player's number shows after a level starts or the player joins or
    // revives, and how many living enemies within CrowdRadius make a crowd.
    static constexpr int NumberMilliseconds = 3000;
    static constexpr int CrowdSize = 3;
    static constexpr double CrowdRadius = 6.0;

    // A level starts: both players' numbers show again.
    void levelStarted();
    // Once per gameplay tick, after the world has moved.
    void update(const Game& game, int milliseconds);
    // In world coordinates, after the floor and its splats, before the objects.
    void drawFloor(const Game& game) const;
    // In world coordinates, after every object.
    void drawAbove(const Game& game) const;
    // Over the whole window, after the world.
    void drawOverlay() const;

    // Whether the number of player 1 or 2 shows now.
    bool numberShown(int player) const;
    // Whether a boss's bar shows, and its name.
    bool bossBarShown() const { return bossShown; }
    const std::string& bossName() const { return bossTitle; }

private:
    struct Mark {
        const Player* player = nullptr;  // compared only, never followed: it may be gone
        bool wasDead = false;
        int numberLeft = 0;
        bool crowded = false;
    };
    std::array<Mark, 2> marks;
    const Boss* boss = nullptr;  // compared only, like a mark's player
    bool bossShown = false;
    std::string bossTitle;
    BossBar bar;
};
