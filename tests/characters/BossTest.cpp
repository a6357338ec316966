#include <cmath>
#include <memory>
#include <vector>

#include "characters/Boss.h"
#include "characters/CombatFixture.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

namespace {

class BossTest : public CombatFixture {
protected:
    void configure(Settings& s) override {
        s.setInt("minionSpawnTime", 1000);
        s.setInt("minionSpawnCount", 4);
        s.setInt("bossHitParticleCount", 5);
        s.setFloat("bossHitParticlePercent", 1.0f);
        s.setInt("bossDeathParticleCount", 1);
        s.setInt("maxSplats", 500);
    }

    // Minions, not counting the boss.
    std::vector<Enemy*> minions() {
        std::vector<Enemy*> found;
        for (const auto& object : game().getWorld()) {
            auto* enemy = dynamic_cast<Enemy*>(object.get());
            if (enemy != nullptr && dynamic_cast<Boss*>(enemy) == nullptr) found.push_back(enemy);
        }
        return found;
    }

    // Ticks until the boss calls its next wave (the minion count changes or its timer
    // restarts); the minions that came with it.
    std::vector<Enemy*> nextWave(Boss* boss) {
        const std::vector<Enemy*> before = minions();
        int timer = boss->getSpawnTimer();
        for (int i = 0; i < 200; ++i) {
            tick();
            if (boss->getSpawnTimer() > timer) break;
            timer = boss->getSpawnTimer();
        }
        std::vector<Enemy*> fresh;
        for (Enemy* enemy : minions()) {
            bool old = false;
            for (Enemy* known : before) old = old || known == enemy;
            if (!old) fresh.push_back(enemy);
        }
        return fresh;
    }

    static int inkDrops() {
        const Ink& ink = Ink::instance();
        return ink.particleCount() + ink.splatCount() + ink.fadingCount();
    }

    static FigureState figureState(const StickFigure& figure) { return figure.getFigureState(); }
};

class TwoPlayerBossTest : public BossTest {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(BossTest, CannotBeTornApartAliveOrDead) {
    Boss boss;
    for (PartKind part : {ArmPart, LegPart, HeadPart, WholeBody}) {
        EXPECT_FALSE(boss.canLoseLimb(part));
    }
    boss.die();
    EXPECT_FALSE(boss.canLoseLimb(WholeBody));
    EXPECT_EQ(boss.loseLimb(HeadPart), nullptr);
    EXPECT_TRUE(boss.getModel().isAttached(LimbHead));
    EXPECT_FALSE(boss.removed);
}

TEST_F(BossTest, OnlyAShotHeadWoundsIt) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(2.5, 0, 0));
    boss->setState(Enemy::Idle);
    player->setFacingLeft(false);

    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    tick();
    player->pickUp(ArmPart);
    EXPECT_TRUE(standing(player)) << "nothing to tear off";
    EXPECT_FALSE(boss->isBeingRipped());
    player->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_EQ(dynamic_cast<Stick*>(player->heldWeapon())->swingsLeft(), 2) << "the swing did land";
    EXPECT_FLOAT_EQ(boss->getHealth(), 1500.0f);
    EXPECT_NE(figureState(*boss), FigureState::Recoiling);
    EXPECT_EQ(boss->getHitCooldown(), 0);
    EXPECT_EQ(inkDrops(), 0);

    auto shell = std::make_unique<Head>(Color(1, 0, 0, 1));
    shell->position = boss->position + Vec3(2.0, 5.0, 0.0);
    shell->launch(Vec3(-30, 0, 0), true);
    game().addObject(std::move(shell));
    ASSERT_TRUE(tickUntil([&] { return boss->getHealth() < 1500.0f; }, 20));
    EXPECT_EQ(figureState(*boss), FigureState::Recoiling);
    EXPECT_EQ(inkDrops(), 5) << "one spray of \"bossHit\"";
}

TEST_F(BossTest, AWaveTopsTheMinionsUpInTwoColumnsAtTheEdges) {
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(0, 0, -5));
    boss->setState(Enemy::Idle);
    spawn(std::make_unique<Enemy>(0), Vec3(-3, 0, -5));

    const std::vector<Enemy*> wave = nextWave(boss);
    ASSERT_EQ(wave.size(), 3u);
    const Level& level = game().getLevel();
    EXPECT_FLOAT_EQ(wave[0]->position.x, static_cast<float>(level.leftEdge(29.0)));
    EXPECT_EQ(wave[0]->position.z, -9.0);
    EXPECT_FLOAT_EQ(wave[1]->position.x, static_cast<float>(level.rightEdge(29.0)));
    EXPECT_EQ(wave[1]->position.z, -9.0);
    EXPECT_FLOAT_EQ(wave[2]->position.x, static_cast<float>(level.rightEdge(25.5)));
    EXPECT_EQ(wave[2]->position.z, -5.5);
    for (Enemy* minion : wave) {
        EXPECT_EQ(minion->getKind(), 0);
        EXPECT_EQ(minion->getColor(), Color(1, 0, 0, 1)) << "red in a one-player game";
        EXPECT_EQ(minion->heldWeapon(), nullptr);
    }

    spawn(std::make_unique<Enemy>(0), Vec3(3, 0, -5));
    ASSERT_EQ(game().countLivingMinions(), 5);
    EXPECT_TRUE(nextWave(boss).empty());
}

TEST_F(TwoPlayerBossTest, MinionsAreBlueInATwoPlayerGame) {
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(0, 0, -5));
    boss->setState(Enemy::Idle);
    const std::vector<Enemy*> wave = nextWave(boss);
    ASSERT_EQ(wave.size(), 4u);
    for (Enemy* minion : wave) {
        EXPECT_EQ(minion->getKind(), 1);
        EXPECT_EQ(minion->getColor(), Color(0, 0, 1, 1));
    }
}

TEST_F(TwoPlayerBossTest, ItTurnsToTheOtherPlayerOnlyWhenThatOneIsClearlyNearer) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Player* p1 = game().getPlayer1();
    Player* p2 = game().getPlayer2();
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(0, 0, -8));
    auto place = [&](double d1Squared) {
        // Player 2 at squared distance 52 in front; player 1 at d1Squared.
        p2->position = boss->position + Vec3(4.0, 0.0, 6.0);
        p1->position = boss->position + Vec3(-std::sqrt(d1Squared - 36.0), 0.0, 6.0);
    };

    place(48.0);
    tick();
    EXPECT_EQ(boss->getState(), Enemy::ApproachPlayer1);
    place(1.1 * 52.0);
    tick(3);
    EXPECT_EQ(boss->getState(), Enemy::ApproachPlayer1) << "farther, but not by enough";
    EXPECT_EQ(boss->getTarget(), p1);
    place(1.3 * 52.0);
    tick();
    EXPECT_EQ(boss->getState(), Enemy::ApproachPlayer2);
    tick();
    EXPECT_EQ(boss->getTarget(), p2);
}

TEST_F(BossTest, ADeadBossDissolvesOverSixtyTicks) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(4, 0, -5));
    tick();
    boss->takeDamage(2000.0f);
    EXPECT_TRUE(boss->isDead());
    EXPECT_EQ(boss->getDissolveCountdown(), 60);
    boss->die();
    EXPECT_EQ(boss->getDissolveCountdown(), 60);

    tick(59);
    ASSERT_TRUE(inWorld(boss));
    EXPECT_EQ(boss->getDissolveCountdown(), 1);
    EXPECT_EQ(inkDrops(), 54) << "a burst on every tick but the tenth ones";
    tick();
    EXPECT_FALSE(inWorld(boss));
    EXPECT_EQ(inkDrops(), 54);
}

TEST_F(BossTest, AStopHoldsTheViewUntilTheBossAndItsMinionsAreDead) {
    Settings::instance().setInt("minionSpawnCount", 2);
    dir.write("levels/boss.dat", "stop 0\nenemy 0 1 0 -5 4 0\nend 100000\n");
    game().startGame(true, false, "boss.dat");
    player = game().getPlayer1();
    player->setHealth(1.0e6f);

    auto walkRight = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            player->move(Vec3(0.25, 0, 0));
            tick();
        }
    };
    walkRight(80);  // long enough for a wave
    EXPECT_EQ(game().getLevel().scroll(), 0.0);
    ASSERT_FALSE(minions().empty());

    for (const auto& object : game().getWorld()) {
        if (auto* boss = dynamic_cast<Boss*>(object.get())) boss->takeDamage(5000.0f);
    }
    walkRight(10);
    EXPECT_EQ(game().getLevel().scroll(), 0.0) << "the minions still live";

    for (Enemy* minion : minions()) minion->takeDamage(5000.0f);
    walkRight(10);
    EXPECT_GT(game().getLevel().scroll(), 0.0);
}

}  // namespace
