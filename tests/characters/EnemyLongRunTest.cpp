#include <cmath>
#include <memory>
#include <vector>

#include "characters/AttackerTally.h"
#include "characters/Boss.h"
#include "characters/CombatFixture.h"
#include "world/Head.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

constexpr int kTenMinutes = 30000;  // ticks of 20 ms
constexpr int kCrowd = 12;
constexpr int kCorpsesKept = 8;

// Ten minutes of real gameplay against a crowd that is topped up as it falls, the way a
// long level keeps sending enemies; fallen players get up again as in arcade mode.
class EnemyLongRunTest : public CombatFixture {
protected:
    void configure(Settings& s) override {
        s.setInt("minionSpawnTime", 5000);
        s.setInt("minionSpawnCount", 4);
        s.setInt("punchHitParticleCount", 4);
        s.setFloat("punchHitParticlePercent", 0.5f);
        s.setFloat("punchHitParticleSpeed", 5.0f);
        s.setInt("stickHitParticleCount", 4);
        s.setFloat("stickHitParticlePercent", 0.5f);
        s.setFloat("stickHitParticleSpeed", 5.0f);
        s.setInt("bossDeathParticleCount", 3);
        s.setInt("disintegrateParticleCount", 3);
    }

    void addObstacles() {
        spawn(std::make_unique<Obstacle>("crate", 1.0, 2.0, 2.0, 0), Vec3(-6, 0, -6));
        spawn(std::make_unique<Obstacle>("crate", 1.5, 2.0, 2.0, 0), Vec3(7, 0, -3));
    }

    // Enemy number `index` of the level: all four kinds, from both edges, some armed.
    void addEnemy(int index) {
        const int kind = index % 4;
        const bool fromRight = index % 2 == 1;
        const double z = -1.0 - (index * 3) % 8;
        const Level& level = game().getLevel();
        const double x = fromRight ? level.rightEdge(20.0 - z) : level.leftEdge(20.0 - z);
        Enemy* enemy = spawn(std::make_unique<Enemy>(kind), Vec3(x, 0, z));
        enemy->setFacingLeft(fromRight);
        if (index % 3 == 1) {
            enemy->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
        } else if (index % 5 == 2) {
            enemy->takeWeapon(std::make_unique<Head>(Color(0, 0, 0, 1)));
        }
    }

    std::vector<Enemy*> enemies(bool dead) {
        std::vector<Enemy*> found;
        for (const auto& object : game().getWorld()) {
            auto* enemy = dynamic_cast<Enemy*>(object.get());
            if (enemy != nullptr && dynamic_cast<Boss*>(enemy) == nullptr && enemy->isDead() == dead) {
                found.push_back(enemy);
            }
        }
        return found;
    }

    // New enemies for the fallen; the oldest corpses go as if the view had left them.
    void keepCrowd(int& spawned) {
        for (std::size_t living = enemies(false).size(); living < kCrowd; ++living) addEnemy(spawned++);
        std::vector<Enemy*> corpses = enemies(true);
        for (std::size_t i = kCorpsesKept; i < corpses.size(); ++i) corpses[i - kCorpsesKept]->kill();
    }

    // After a tick: the tally never goes below zero and nobody wanders off the floor.
    void checkWorld() {
        ASSERT_GE(AttackerTally::instance().count(0), 0);
        ASSERT_GE(AttackerTally::instance().count(1), 0);
        for (const auto& object : game().getWorld()) {
            const auto* figure = dynamic_cast<const StickFigure*>(object.get());
            if (figure == nullptr) continue;
            ASSERT_TRUE(std::isfinite(figure->position.x) && std::isfinite(figure->position.z));
            if (!figure->isDead()) {
                // Held to the floor before the collision pass, whose pushes may nudge it
                // over the edge until the next tick.
                ASSERT_LE(figure->position.z, 1.0);
                ASSERT_GE(figure->position.z, game().getLevel().backLimit() - 1.0);
            }
        }
    }

    // Counts a death and stands the player up again.
    void reviveIfDead(Player* p, int& deaths) {
        if (p != nullptr && p->isDead()) {
            ++deaths;
            p->respawn();
        }
    }

    // A player who fights: walks up beside the nearest living enemy and hits it, and now
    // and then grabs what is within reach.
    void fightBack(Player* p, int tickNumber) {
        const StickFigure* foe = nullptr;
        double best = 0.0;
        for (const auto& object : game().getWorld()) {
            const auto* enemy = dynamic_cast<const Enemy*>(object.get());
            if (enemy == nullptr || enemy->isDead()) continue;
            const double d = enemy->position.distanceSquared(p->position);
            if (foe == nullptr || d < best) {
                foe = enemy;
                best = d;
            }
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
        const Vec3 goal = foe->position + Vec3(gap.x < 0.0 ? 2.0 : -2.0, 0.0, 0.0);
        Vec3 way = goal - p->position;
        way.y = 0.0;
        if (way.length() > 0.01) p->move(way / way.length() * 0.25);
    }
};

class TwoPlayerLongRunTest : public EnemyLongRunTest {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(EnemyLongRunTest, TenMinutesAgainstAnIdlePlayer) {
    addObstacles();
    int spawned = 0;
    int deaths = 0;
    for (int i = 0; i < kTenMinutes; ++i) {
        keepCrowd(spawned);
        tick();
        checkWorld();
        if (HasFatalFailure()) return;
        reviveIfDead(player, deaths);
    }
    EXPECT_GE(deaths, 3) << "the crowd really fights";
    EXPECT_GT(spawned, kCrowd) << "and gets hurt in the scrum";
}

TEST_F(TwoPlayerLongRunTest, TenMinutesOfTwoPlayersFightingACrowdAndABoss) {
    addObstacles();
    spawn(std::make_unique<Boss>(), Vec3(12, 0, -6));
    Player* p1 = game().getPlayer1();
    Player* p2 = game().getPlayer2();
    int spawned = 0;
    int deaths = 0;
    for (int i = 0; i < kTenMinutes; ++i) {
        keepCrowd(spawned);
        fightBack(p1, i);
        fightBack(p2, i + 25);
        tick();
        checkWorld();
        if (HasFatalFailure()) return;
        reviveIfDead(p1, deaths);
        reviveIfDead(p2, deaths);
    }
    EXPECT_GT(spawned, 3 * kCrowd) << "the players cut the crowd down";
    EXPECT_GE(deaths, 1) << "and the crowd hits back";
}

}  // namespace
