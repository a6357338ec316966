#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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
        Settings& s = Settings::instance();
        s.clear();
        s.setFloat("punchAttackDist", 1.0f);
        s.setFloat("stickAttackDist", 1.5f);
        s.setFloat("punchDamage", 10.0f);
        s.setFloat("stickDamage", 20.0f);
        s.setFloat("headDamage", 25.0f);
        s.setFloat("explodingHeadDamage", 20.0f);
        s.setFloat("explodingHeadRadius", 8.0f);
        s.setFloat("bossPunchDamage", 40.0f);
        s.setInt("swingsPerStick", 3);
        s.setInt("throwsPerHead", 3);
        s.setInt("throwDuration", 400);
        s.setFloat("throwSpeed", 30.0f);
        s.setFloat("gravity", 40.0f);
        s.setFloat("headRadius", 0.6f);
        s.setFloat("stickRadius", 0.1f);
        s.setInt("dripTime", 1000);
        s.setInt("maxSplats", 200);
        s.setFloat("x_offset", 10.0f);
        s.setFloat("z_offset", 25.0f);
        s.setFloat("leftDeadSpace", 10.0f);
        s.setFloat("moveSpeed", 0.25f);
        configure(s);
        writeFigureAnimations(dir, 100);
        dir.write("levels/arena.dat", "end 100000\n");
        game().startGame(true, twoPlayers(), "arena.dat");
        player = game().getPlayer1();
    }

    virtual void configure(Settings&) {}
    virtual bool twoPlayers() const { return false; }

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
        for (int i = 0; i < maxTicks; ++i) {
            if (condition()) return true;
            tick();
        }
        return condition();
    }

    bool standing(const StickFigure* figure) { return figure->getFigureState() == FigureState::Standing; }

    bool inWorld(const Object* object) {
        for (const auto& o : game().getWorld()) {
            if (o.get() == object) return true;
        }
        return false;
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
