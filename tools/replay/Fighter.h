#pragma once

#include <algorithm>
#include <cmath>
#include <string>

#include "Keyboard.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "world/Health.h"
#include "world/Level.h"

// The keys the settings give player 1 or 2.
struct PlayerKeys {
    explicit PlayerKeys(int player) : prefix("player" + std::to_string(player)) {}
    int key(const char* control) const { return Settings::instance().getInt(prefix + control); }

    const std::string prefix;
    const int left = key("Left");
    const int right = key("Right");
    const int up = key("Up");
    const int down = key("Down");
    const int attack = key("Attack");
    const int pickUp = key("PickUp");
    const int drop = key("Drop");
    const int start = key("Start");
};

// One player's fighting habits, decided afresh every tick from what it sees.
class Fighter {
public:
    // Plays `player` with the keys the settings give player `keysOf` (online, every
    // machine plays its own figure with its own player-1 keys).
    Fighter(int player, bool withWeapons, int keysOf = 0)
        : keys(keysOf != 0 ? keysOf : player), number(player), usesWeapons(withWeapons) {}

    void act(Game& game, Keyboard& keyboard, int tick, bool passive) {
        Player* me = number == 1 ? game.getPlayer1() : game.getPlayer2();
        int dx = 0;
        int dz = 0;
        if (me != nullptr && !me->isDead()) {
            steer(game, *me, keyboard, tick, passive, dx, dz);
            // Held in one place for long, whatever it was after is out of reach: walk to
            // the middle of the floor for a while.
            if (stuckTicks > 15) escapeTicks = 30;
            if (escapeTicks > 0) {
                --escapeTicks;
                const Level& level = game.getLevel();
                const double middleZ = (level.backLimit() + level.frontLimit()) / 2.0;
                const double distance = kEyeDistance - middleZ;
                const double middleX = (level.leftEdge(distance) + level.rightEdge(distance)) / 2.0;
                go(*me, Vec3(middleX, 0.0, middleZ), 1.0, dx, dz);
            }
            slideWhenBlocked(dx, dz);
            watchProgress(*me, travelling && (dx != 0 || dz != 0));
        }
        keyboard.hold(keys.left, dx < 0);
        keyboard.hold(keys.right, dx > 0);
        keyboard.hold(keys.up, dz < 0);
        keyboard.hold(keys.down, dz > 0);
    }

    const PlayerKeys keys;

private:
    // The nearest living enemy, or the nearest corpse that can be carried whole; the boss
    // counts only when asked for.
    static Enemy* nearest(const Game& game, const Vec3& from, bool dead, bool withBoss = true) {
        Enemy* best = nullptr;
        for (const auto& object : game.getWorld()) {
            auto* enemy = dynamic_cast<Enemy*>(object.get());
            if (enemy == nullptr || enemy->isDead() != dead) continue;
            const bool isBoss = dynamic_cast<Boss*>(enemy) != nullptr;
            if ((isBoss && (dead || !withBoss)) || (dead && !enemy->canLoseLimb(WholeBody))) continue;
            if (!inView(game, enemy->position)) continue;
            if (best == nullptr || from.distanceSquared(enemy->position) < from.distanceSquared(best->position)) {
                best = enemy;
            }
        }
        return best;
    }

    // Whether a figure stands where the view lets a player walk up to it.
    static bool inView(const Game& game, const Vec3& where) {
        const double distance = kEyeDistance - where.z;
        const Level& level = game.getLevel();
        return where.x > level.leftEdge(distance) + 0.5 && where.x < level.rightEdge(distance) - 0.5;
    }

    static void towards(const Vec3& gap, double reach, int& dx, int& dz) {
        if (std::abs(gap.x) > reach) dx = gap.x > 0 ? 1 : -1;
        if (std::abs(gap.z) > 0.4) dz = gap.z > 0 ? 1 : -1;
    }

    // A fired head explodes on the first thing it meets and hurts everyone near, the
    // shooter too: shots are taken from beyond the blast, level with the target.
    static constexpr double kShotRange = 11.0;
    static constexpr double kSafeShot = 9.5;
    // The view's edges are measured at a depth from the eye; the floor's front is this
    // far from it.
    static constexpr double kEyeDistance = 20.0;
    static constexpr double kEdgeMargin = 1.0;
    // Where a punch lands, ahead of the figure, and how far it reaches from there to the
    // middle of a body (fist and body radii together, with a little to spare).
    static constexpr double kFistAhead = 1.5;
    static constexpr double kFistReach = 1.9;
    static constexpr double kStandOff = 1.6;

    void steer(Game& game, Player& me, Keyboard& keyboard, int tick, bool passive, int& dx, int& dz) {
        dx = 1;
        travelling = true;
        if (passive) return;
        Enemy* enemy = nearest(game, me.position, false);
        Boss* boss = nullptr;
        for (const auto& object : game.getWorld()) {
            auto* found = dynamic_cast<Boss*>(object.get());
            if (found != nullptr && !found->isDead()) boss = found;
        }
        Object* held = me.heldWeapon();
        const bool bazooka = dynamic_cast<StickFigure*>(held) != nullptr;
        if (boss != nullptr && held != nullptr && !bazooka) keyboard.press(keys.drop);
        // A body is too slow a weapon against foes at arm's length: fists are better.
        if (bazooka && boss == nullptr && enemy != nullptr && !usesWeapons &&
            enemy->position.distanceSquared(me.position) < 5.0 * 5.0) {
            keyboard.press(keys.drop);
        } else if (bazooka) {
            aimAndFire(game, me, boss != nullptr ? boss : enemy, keyboard, tick, dx, dz);
            return;
        }
        if (held == nullptr && (boss != nullptr || (usesWeapons && tick % 600 > 300))) {
            if (Enemy* corpse = nearest(game, me.position, true);
                corpse != nullptr && std::abs(corpse->position.x - me.position.x) < (boss != nullptr ? 40.0 : 12.0)) {
                fetch(me, *corpse, boss, keyboard, tick, dx, dz);
                return;
            }
        }
        // Low on health: drink the nearest ink pot in view.
        if (me.getHealth() < 150.0f) {
            for (const auto& object : game.getWorld()) {
                if (dynamic_cast<Health*>(object.get()) == nullptr || !inView(game, object->position)) continue;
                const Vec3 gap = object->position - me.position;
                if (std::abs(gap.x) > 25.0) continue;
                dx = 0;
                towards(gap, 0.3, dx, dz);
                return;
            }
        }
        if (boss != nullptr) {
            // Minions make the corpses the boss is shot with; fight them while the boss is
            // far enough off.
            enemy = nearest(game, me.position, false, false);
            const double bossDistance = std::sqrt(boss->position.distanceSquared(me.position));
            if (enemy == nullptr || bossDistance < 6.0 ||
                std::sqrt(enemy->position.distanceSquared(me.position)) > bossDistance) {
                keepAway(game, me, *boss, dx, dz);
                return;
            }
        }
        if (enemy == nullptr) return;
        const Vec3 gap = enemy->position - me.position;
        if (std::abs(gap.x) > 12.0) return;
        // Pressing against the foe in a fight is no sign of being held up.
        travelling = false;
        // Stand just beside the enemy, level with it where the floor allows, facing it.
        const double beside = gap.x - (gap.x > 0 ? kStandOff : -kStandOff);
        dx = std::abs(beside) > 0.3 ? (beside > 0 ? 1 : -1) : 0;
        if (std::abs(gap.z) > 0.4) dz = gap.z > 0 ? 1 : -1;
        const bool facing = me.isFacingLeft() == (gap.x < 0);
        if (dx == 0 && !facing) dx = gap.x < 0 ? -1 : 1;
        // A fist lands when its circle ahead of the shoulder meets the enemy's body.
        const double pastFist = std::abs(gap.x) - kFistAhead;
        if (tick % 8 != 0 || !facing || pastFist * pastFist + gap.z * gap.z > kFistReach * kFistReach) return;
        if (held == nullptr && tick % 16 == 0) {
            // Tear off what the direction asks for: an arm from the living, else head or leg.
            keyboard.hold(tick % 90 == 0 ? keys.up : keys.down, true);
            keyboard.press(keys.pickUp);
        } else {
            keyboard.press(keys.attack);
        }
    }

    // Walks to a corpse and picks it up: a whole body (a bazooka) when fighting for real,
    // in turn a body, a head and a leg when trying every weapon.
    void fetch(const Player& me, const Enemy& corpse, const Boss* boss, Keyboard& keyboard, int tick, int& dx,
               int& dz) {
        const Vec3 gap = corpse.position - me.position;
        dx = 0;
        towards(gap, 1.0, dx, dz);
        if (boss != nullptr && std::abs(boss->position.x - me.position.x) < 4.0 &&
            std::abs(boss->position.z - me.position.z) < 2.0) {
            dz = boss->position.z > me.position.z ? -1 : 1;
        }
        if (std::abs(gap.x) < 2.0 && std::abs(gap.z) < 1.0 && tick % 10 == 0) {
            const int turn = usesWeapons && boss == nullptr ? pickups++ / 3 % 3 : 0;
            keyboard.hold(turn == 0 ? (gap.x < 0 ? keys.left : keys.right) : turn == 1 ? keys.up : keys.down, true);
            keyboard.press(keys.pickUp);
        }
    }

    // Lines up level with the target at shooting range, on a side of it the view leaves
    // room on, faces it and fires once per shot.
    void aimAndFire(const Game& game, const Player& me, const Enemy* target, Keyboard& keyboard, int tick, int& dx,
                    int& dz) {
        if (target == nullptr) return;
        const Vec3 gap = target->position - me.position;
        const Level& level = game.getLevel();
        const double distance = kEyeDistance - target->position.z;
        const double leftRoom = target->position.x - (level.leftEdge(distance) + kEdgeMargin);
        const double rightRoom = level.rightEdge(distance) - kEdgeMargin - target->position.x;
        const bool fromLeft = gap.x > 0 ? leftRoom >= kShotRange || leftRoom > rightRoom
                                        : !(rightRoom >= kShotRange || rightRoom > leftRoom);
        const double range = std::min(kShotRange, fromLeft ? leftRoom : rightRoom);
        const double wantedX = target->position.x + (fromLeft ? -range : range);
        go(me, Vec3(wantedX, 0.0, target->position.z), 0.8, dx, dz);
        const bool facing = me.isFacingLeft() == (gap.x < 0);
        if (dx == 0 && !facing) dx = gap.x < 0 ? -1 : 1;
        const bool ready = me.getFigureState() == FigureState::Standing || me.getFigureState() == FigureState::Walking;
        if (facing && ready && std::abs(gap.z) < 0.6 && tick % 4 == 0 && firstInLine(game, me, gap.x < 0) > kSafeShot) {
            keyboard.press(keys.attack);
        }
    }

    // Steps towards a point, stopping within `slack` of it on each axis.
    static void go(const Player& me, const Vec3& point, double slack, int& dx, int& dz) {
        const Vec3 gap = point - me.position;
        dx = std::abs(gap.x) > slack ? (gap.x > 0 ? 1 : -1) : 0;
        dz = std::abs(gap.z) > std::min(slack, 0.35) ? (gap.z > 0 ? 1 : -1) : 0;
    }

    // How far ahead the nearest living enemy stands in the line of fire.
    static double firstInLine(const Game& game, const Player& me, bool leftwards) {
        double first = 1e9;
        for (const auto& object : game.getWorld()) {
            const auto* enemy = dynamic_cast<const Enemy*>(object.get());
            if (enemy == nullptr || enemy->isDead()) continue;
            const Vec3 gap = enemy->position - me.position;
            const double ahead = leftwards ? -gap.x : gap.x;
            if (ahead > -1.0 && std::abs(gap.z) < 1.5) first = std::min(first, std::abs(ahead));
        }
        return first;
    }

    // Around the boss without a weapon: make for the spot of the floor farthest from it
    // that can be reached without passing within its reach.
    static void keepAway(const Game& game, const Player& me, const Boss& boss, int& dx, int& dz) {
        const Level& level = game.getLevel();
        Vec3 best = me.position;
        double bestScore = -1e9;
        const double bossDistance = std::hypot(boss.position.x - me.position.x, boss.position.z - me.position.z);
        for (int row = 0; row <= 4; ++row) {
            // Kept off the edges: a figure in a corner can be pinned there.
            const double z = level.backLimit() + 2.0 + (level.frontLimit() - level.backLimit() - 4.0) * row / 4.0;
            const double distance = kEyeDistance - z;
            const double left = level.leftEdge(distance) + 3.0;
            const double right = level.rightEdge(distance) - 3.0;
            for (int column = 0; column <= 6; ++column) {
                const Vec3 spot(left + (right - left) * column / 6.0, 0.0, z);
                const double score = std::sqrt(spot.distanceSquared(boss.position)) -
                                     (passesNear(me.position, spot, boss.position, std::min(4.0, bossDistance - 0.5))
                                          ? 100.0
                                          : 0.0);
                if (score > bestScore) {
                    bestScore = score;
                    best = spot;
                }
            }
        }
        go(me, best, 0.5, dx, dz);
    }

    // Whether walking straight from `from` to `to` comes within `reach` of `point`.
    static bool passesNear(const Vec3& from, const Vec3& to, const Vec3& point, double reach) {
        const Vec3 path = to - from;
        const double length = path.x * path.x + path.z * path.z;
        const double along =
            length > 0.0 ? std::clamp(((point.x - from.x) * path.x + (point.z - from.z) * path.z) / length, 0.0, 1.0)
                         : 0.0;
        const Vec3 closest = from + path * along;
        return std::hypot(closest.x - point.x, closest.z - point.z) < reach;
    }

    // A step that runs into a body goes nowhere at all: after a few such ticks, walk
    // along one axis only, then along the other.
    void slideWhenBlocked(int& dx, int& dz) const {
        const int phase = stuckTicks % 24;
        if (stuckTicks < 3 || (dx == 0 && dz == 0)) return;
        if (phase < 12 && dx != 0) {
            dz = 0;
        } else {
            dz = dz != 0 ? dz : (phase < 18 ? 1 : -1);
            dx = 0;
        }
    }

    // Counts the ticks the figure stood where it was while it was meant to walk.
    void watchProgress(const Player& me, bool walking) {
        stuckTicks = walking && me.position.distanceSquared(lastPosition) < 1e-4 ? stuckTicks + 1 : 0;
        lastPosition = me.position;
    }

    int number;
    bool usesWeapons;
    int pickups = 0;
    Vec3 lastPosition;
    bool travelling = false;
    int escapeTicks = 0;
    int stuckTicks = 0;
};
