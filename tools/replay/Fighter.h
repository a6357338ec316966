#pragma once

#include <optional>
#include <unordered_map>

#include "Keyboard.h"
#include "world/Vec3.h"

class Enemy;
class Game;
class Object;
class Player;

// One scripted player's fighting habits, decided afresh every tick from what it sees and
// carried out only with that player's keys, as a careful person would play: it walks on
// only while no enemy is about, so the level's enemies come a few at a time; it carries a
// whole corpse whenever one lies out of the enemies' reach and shoots enemies and the boss
// from beyond the blast, never through its partner; otherwise it fights with a loose
// stick or its fists from just outside an enemy's reach, lets a due blow miss before
// closing in, steps back from a blow it cannot cut short and out from between enemies;
// it throws heads it picks up and drinks ink when it runs low.
class Fighter {
public:
    // Plays `player` with the keys the settings give player `keysOf` (online, every
    // machine plays its own figure with its own player-1 keys). With `everyWeapon` it
    // also takes heads and limbs off corpses and uses them, for the weapons replay.
    Fighter(int player, bool everyWeapon, int keysOf = 0);

    // One tick of keys. A passive fighter only walks right.
    void act(const Game& game, Keyboard& keyboard, int tick, bool passive);

    const PlayerKeys keys;

private:
    // Which way the keys walk this tick: -1, 0 or 1 along the level and in depth.
    struct Steps {
        int x = 0;
        int z = 0;
    };
    // What one tick's decisions look at.
    struct Sight {
        const Game& game;
        const Player& me;
        const Player* partner;
        Keyboard& keyboard;
        int tick;
    };

    Steps decide(const Sight& sight);
    Steps shoot(const Sight& sight, const Enemy& target);
    Steps brawl(const Sight& sight, const Enemy& enemy);
    Steps punch(const Sight& sight, const Vec3& at, double radius, double spacing, int cooldown);
    Steps fetch(const Sight& sight, const Enemy& corpse);
    bool dodge(const Sight& sight, Steps& steps) const;
    bool blowDue(const Enemy& enemy, int tick) const;
    const Enemy* menace(const Sight& sight, const Enemy* besides) const;
    void watchBlows(const Game& game, int tick);
    bool readyToFire(const Sight& sight) const;
    const Object* inkWorthDrinking(const Sight& sight) const;
    const Object* crateWorthBreaking(const Sight& sight) const;
    const Enemy* corpseWorthFetching(const Sight& sight) const;
    const Object* looseStick(const Sight& sight) const;
    bool partnerCloser(const Sight& sight, const Vec3& where) const;
    std::optional<Vec3> crowdAround(const Sight& sight) const;
    Steps keepAway(const Sight& sight, const Vec3& from, double reach) const;
    void slideWhenBlocked(Steps& steps) const;
    void watchProgress(const Player& me, bool walking);

    // The last tick each enemy was seen winding up a blow.
    std::unordered_map<const Enemy*, int> lastBlows;
    // The enemy being lined up for a shot.
    const Enemy* shotTarget = nullptr;
    // The farthest the figure came along this level, and the view's scroll last tick.
    double frontier = 0.0;
    double lastScroll = 0.0;
    // How far along the level it may go this tick.
    double farthestStep = 0.0;
    // Ticks spent waiting for the blow of the enemy being fought to miss.
    int waitTicks = 0;
    const int number;
    const bool everyWeapon;
    int pickups = 0;
    Vec3 lastPosition;
    int stuckTicks = 0;
    int escapeTicks = 0;
};
