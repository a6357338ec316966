#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "characters/AttackerTally.h"
#include "characters/Boss.h"
#include "characters/CombatFixture.h"
#include "world/Head.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

constexpr std::size_t kCrowd = 12;
constexpr std::size_t kCorpsesKept = 8;

// Ten minutes of real gameplay against a crowd that is topped up as it falls, the way a
// long level keeps sending enemies; fallen players get up again as in arcade mode.
class EnemyLongRunTest : public CombatFixture {
protected:
    void configure() override {
        set({{"punchHitParticlePercent", 0.5f}, {"punchHitParticleSpeed", 5.0f},
             {"stickHitParticlePercent", 0.5f}, {"stickHitParticleSpeed", 5.0f}},
            {{"minionSpawnTime", 5000}, {"minionSpawnCount", 4}, {"punchHitParticleCount", 4},
             {"stickHitParticleCount", 4}, {"bossDeathParticleCount", 3},
             {"disintegrateParticleCount", 3}});
    }

    // Enemy number `index` of the level: all four kinds, from both edges, some armed.
    void addEnemy(int index) {
        const bool fromRight = index % 2 == 1;
        const double z = -1.0 - (index * 3) % 8;
        const Level& level = game().getLevel();
        const double x = fromRight ? level.rightEdge(20.0 - z) : level.leftEdge(20.0 - z);
        Enemy* enemy = spawn(std::make_unique<Enemy>(index % 4), Vec3(x, 0, z));
        enemy->setFacingLeft(fromRight);
        if (index % 3 == 1) {
            enemy->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
        } else if (index % 5 == 2) {
            enemy->takeWeapon(std::make_unique<Head>(Color(0, 0, 0, 1)));
        }
    }

    // After a tick: the tally never goes below zero and nobody wanders off the floor.
    void checkWorld() {
        ASSERT_GE(AttackerTally::instance().count(0), 0);
        ASSERT_GE(AttackerTally::instance().count(1), 0);
        for (const auto& object : game().getWorld()) {
            const auto* figure = dynamic_cast<const StickFigure*>(object.get());
            if (figure == nullptr) continue;
            ASSERT_TRUE(std::isfinite(figure->position.x) && std::isfinite(figure->position.z));
            if (figure->isDead()) continue;
            // Held to the floor before the collision pass, whose pushes may nudge it over
            // the edge until the next tick.
            ASSERT_LE(figure->position.z, 1.0);
            ASSERT_GE(figure->position.z, game().getLevel().backLimit() - 1.0);
        }
    }

    // Ten minutes among two crates with `players` acting before every tick; the number of
    // player deaths. New enemies replace the fallen; the oldest corpses go as if the view
    // had left them.
    int tenMinutes(const std::function<void(int)>& players) {
        spawn(std::make_unique<Obstacle>("crate", 1.0, 2.0, 2.0, 0), Vec3(-6, 0, -6));
        spawn(std::make_unique<Obstacle>("crate", 1.5, 2.0, 2.0, 0), Vec3(7, 0, -3));
        int deaths = 0;
        for (int i = 0; i < 30000 && !HasFatalFailure(); ++i) {
            std::vector<Enemy*> corpses = minions();
            corpses.erase(std::remove_if(corpses.begin(), corpses.end(), [](Enemy* e) { return !e->isDead(); }),
                          corpses.end());
            for (std::size_t c = kCorpsesKept; c < corpses.size(); ++c) corpses[c - kCorpsesKept]->kill();
            for (std::size_t n = minions().size() - corpses.size(); n < kCrowd; ++n) addEnemy(spawned++);
            players(i);
            tick();
            checkWorld();
            for (Player* p : {game().getPlayer1(), game().getPlayer2()}) {
                if (p == nullptr || !p->isDead()) continue;
                ++deaths;
                p->respawn();
            }
        }
        return deaths;
    }

    // A player who fights: walks up beside the nearest living enemy and hits it, and now
    // and then grabs what is within reach.
    void fightBack(Player* p, int tickNumber) {
        const Enemy* foe = nullptr;
        for (const auto& object : game().getWorld()) {
            const auto* enemy = dynamic_cast<const Enemy*>(object.get());
            if (enemy == nullptr || enemy->isDead()) continue;
            const double d = enemy->position.distanceSquared(p->position);
            if (foe == nullptr || d < foe->position.distanceSquared(p->position)) foe = enemy;
        }
        if (foe == nullptr) return;
        if (tickNumber % 50 == 0 && p->heldWeapon() == nullptr) {
            p->pickUp(tickNumber % 200 == 0 ? WholeBody : ArmPart);
        }
        const Vec3 gap = foe->position - p->position;
        if (std::fabs(gap.z) < 0.8 && std::fabs(gap.x) < 2.6) {
            p->setFacingLeft(gap.x < 0.0);
            p->attack();
            return;
        }
        Vec3 way = foe->position + Vec3(gap.x < 0.0 ? 2.0 : -2.0, 0.0, 0.0) - p->position;
        way.y = 0.0;
        if (way.length() > 0.01) p->move(way / way.length() * 0.25);
    }

    int spawned = 0;
};

class TwoPlayerLongRunTest : public EnemyLongRunTest {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(EnemyLongRunTest, TenMinutesAgainstAnIdlePlayer) {
    EXPECT_GE(tenMinutes([](int) {}), 3) << "the crowd really fights";
    EXPECT_GT(spawned, static_cast<int>(kCrowd)) << "and gets hurt in the scrum";
}

TEST_F(TwoPlayerLongRunTest, TenMinutesOfTwoPlayersFightingACrowdAndABoss) {
    spawn(std::make_unique<Boss>(), Vec3(12, 0, -6));
    const int deaths = tenMinutes([&](int i) {
        fightBack(game().getPlayer1(), i);
        fightBack(game().getPlayer2(), i + 25);
    });
    EXPECT_GT(spawned, 3 * static_cast<int>(kCrowd)) << "the players cut the crowd down";
    EXPECT_GE(deaths, 1) << "and the crowd hits back";
}

}  // namespace
