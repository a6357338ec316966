#include <algorithm>
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
    void configure() override {
        set({{"bossHitParticlePercent", 1.0f}},
            {{"minionSpawnTime", 1000}, {"minionSpawnCount", 4}, {"bossHitParticleCount", 5},
             {"bossDeathParticleCount", 1}, {"maxSplats", 500}});
    }

    Boss* idleBoss(const Vec3& where) {
        Boss* boss = spawn(std::make_unique<Boss>(), where);
        boss->setState(Enemy::Idle);
        return boss;
    }

    // Ticks until the boss's wave timer restarts, that is until it has called a wave.
    void nextWave(Boss* boss) {
        for (int i = 0, timer = boss->getSpawnTimer(); i < 200; ++i, timer = boss->getSpawnTimer()) {
            tick();
            if (boss->getSpawnTimer() > timer) return;
        }
    }

    static int inkDrops() {
        const Ink& ink = Ink::instance();
        return ink.particleCount() + ink.splatCount() + ink.fadingCount();
    }
};

class TwoPlayerBossTest : public BossTest {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(BossTest, FistsSticksAndHandsDoNothingButAShotHeadWoundsIt) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Boss* boss = idleBoss(Vec3(2.5, 0, 0));
    player->attack();
    ASSERT_TRUE(moveDone());
    tick();
    player->pickUp(ArmPart);
    EXPECT_TRUE(standing(player)) << "nothing to tear off";
    player->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_EQ(dynamic_cast<Stick*>(player->heldWeapon())->swingsLeft(), 2) << "the swing did land";
    EXPECT_FLOAT_EQ(boss->getHealth(), 1500.0f);
    EXPECT_NE(boss->getFigureState(), FigureState::Recoiling);
    EXPECT_EQ(inkDrops(), 0);

    auto shell = std::make_unique<Head>(Color(1, 0, 0, 1));
    shell->position = boss->position + Vec3(2.0, 5.0, 0.0);
    shell->launch(Vec3(-30, 0, 0), true);
    game().addObject(std::move(shell));
    ASSERT_TRUE(tickUntil([&] { return boss->getHealth() < 1500.0f; }, 20));
    EXPECT_EQ(boss->getFigureState(), FigureState::Recoiling);
    EXPECT_EQ(inkDrops(), 5) << "one spray of \"bossHit\"";
}

TEST_F(BossTest, AWaveTopsRedMinionsUpToFourInTwoColumnsAtTheEdges) {
    Boss* boss = idleBoss(Vec3(0, 0, -5));
    spawn(std::make_unique<Enemy>(0), Vec3(-3, 0, -5));
    nextWave(boss);
    const std::vector<Enemy*> all = minions();
    ASSERT_EQ(all.size(), 4u);
    const Level& level = game().getLevel();
    for (const Vec3& at : {Vec3(level.leftEdge(29.0), 0, -9.0), Vec3(level.rightEdge(29.0), 0, -9.0),
                           Vec3(level.rightEdge(25.5), 0, -5.5)}) {
        const auto there = [&](const Enemy* e) { return (e->position - at).length() < 1e-4; };
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), there)) << "none at " << at.x << ", " << at.z;
    }
    for (Enemy* minion : all) {
        EXPECT_EQ(minion->getKind(), 0);
        EXPECT_EQ(minion->getColor(), Color(1, 0, 0, 1)) << "red in a one-player game";
    }
    spawn(std::make_unique<Enemy>(0), Vec3(3, 0, -5));
    nextWave(boss);
    EXPECT_EQ(minions().size(), 5u) << "five living minions call no wave";
}

TEST_F(TwoPlayerBossTest, MinionsAreBlueInATwoPlayerGame) {
    nextWave(idleBoss(Vec3(0, 0, -5)));
    ASSERT_EQ(minions().size(), 4u);
    for (Enemy* minion : minions()) {
        EXPECT_EQ(minion->getKind(), 1);
        EXPECT_EQ(minion->getColor(), Color(0, 0, 1, 1));
    }
}

TEST_F(TwoPlayerBossTest, ItTurnsToTheOtherPlayerOnlyWhenThatOneIsClearlyNearer) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Player* p1 = game().getPlayer1();
    Player* p2 = game().getPlayer2();
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(0, 0, -8));
    // Player 2 at squared distance 52 in front; player 1 at d1Squared.
    auto place = [&](double d1Squared) {
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
    tick(2);
    EXPECT_EQ(boss->getState(), Enemy::ApproachPlayer2);
    EXPECT_EQ(boss->getTarget(), p2);
}

TEST_F(BossTest, ADeadBossDissolvesOverSixtyTicksInFiftyFourBursts) {
    Settings::instance().setInt("minionSpawnTime", 1000000);
    Boss* boss = spawn(std::make_unique<Boss>(), Vec3(4, 0, -5));
    tick();
    boss->takeDamage(2000.0f);
    EXPECT_TRUE(boss->isDead());
    boss->die();
    EXPECT_EQ(boss->getDissolveCountdown(), 60);
    EXPECT_EQ(boss->loseLimb(HeadPart), nullptr) << "not even a corpse is torn apart";
    tick(59);
    ASSERT_TRUE(inWorld(boss));
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
        for (int i = 0; i < ticks; ++i, tick()) player->move(Vec3(0.25, 0, 0));
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
