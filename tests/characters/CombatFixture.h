#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/FigureAnimations.h"
#include "support/TempDataDir.h"

// A one- or two-player game on an empty arena with short animations, driven by real
// gameplay ticks.
class CombatFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance().clear();
        set({{"punchAttackDist", 1.0f}, {"stickAttackDist", 1.5f}, {"punchDamage", 10.0f},
             {"stickDamage", 20.0f}, {"headDamage", 25.0f}, {"explodingHeadDamage", 20.0f},
             {"explodingHeadRadius", 8.0f}, {"bossPunchDamage", 40.0f}, {"throwSpeed", 30.0f},
             {"gravity", 40.0f}, {"headRadius", 0.6f}, {"stickRadius", 0.1f}, {"x_offset", 10.0f},
             {"z_offset", 25.0f}, {"leftDeadSpace", 10.0f}, {"moveSpeed", 0.25f}},
            {{"swingsPerStick", 3}, {"throwsPerHead", 3}, {"throwDuration", 400},
             {"dripTime", 1000}, {"maxSplats", 200}, {"player1Up", 'w'}, {"player1Down", 's'},
             {"player1Right", 'd'}, {"player1PickUp", 'p'}});
        writeFigureAnimations(dir, 100);
        configure();
        dir.write("levels/arena.dat", "end 100000\n");
        game().startGame(true, twoPlayers(), "arena.dat");
        player = game().getPlayer1();
    }

    // Called before the game starts, for a suite's own settings and data files.
    virtual void configure() {}
    // Called when the game starts: whether player 2 joins.
    virtual bool twoPlayers() const { return false; }

    static void set(std::initializer_list<std::pair<const char*, float>> floats,
                    std::initializer_list<std::pair<const char*, int>> ints = {}) {
        for (const auto& [key, value] : floats) Settings::instance().setFloat(key, value);
        for (const auto& [key, value] : ints) Settings::instance().setInt(key, value);
    }

    Game& game() { return Game::instance(); }

    template <typename T>
    T* spawn(std::unique_ptr<T> object, const Vec3& where) {
        object->position = where;
        T* raw = object.get();
        game().addObject(std::move(object));
        return raw;
    }

    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) game().update(20);
    }

    // Ticks until the condition holds; false when it never did within maxTicks.
    bool tickUntil(const std::function<bool()>& condition, int maxTicks = 500) {
        for (int i = 0; i < maxTicks && !condition(); ++i) tick();
        return condition();
    }

    bool standing(const StickFigure* figure) { return figure->getFigureState() == FigureState::Standing; }

    // Ticks until the player has finished its move; false when it never did.
    bool moveDone() { return tickUntil([&] { return standing(player); }); }

    bool inWorld(const Object* object) {
        for (const auto& o : game().getWorld()) {
            if (o.get() == object) return true;
        }
        return false;
    }

    // Every enemy in the world but the boss, living or dead.
    std::vector<Enemy*> minions() {
        std::vector<Enemy*> found;
        for (const auto& object : game().getWorld()) {
            auto* enemy = dynamic_cast<Enemy*>(object.get());
            if (enemy != nullptr && dynamic_cast<Boss*>(enemy) == nullptr) found.push_back(enemy);
        }
        return found;
    }

    // A dead enemy that has finished toppling, lying at `where`.
    Enemy* corpseAt(const Vec3& where) {
        Enemy* enemy = spawn(std::make_unique<Enemy>(0), where);
        enemy->die();
        tickUntil([&] { return enemy->getFall() >= 1.0f; });
        return enemy;
    }

    TempDataDir dir;
    Player* player = nullptr;
};
