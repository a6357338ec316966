#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "characters/AttackerTally.h"
#include "characters/CombatFixture.h"
#include "core/Random.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Message.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

int claims(int slot) { return AttackerTally::instance().count(slot - 1); }

// Kills its victim during its own update, as a worn-out stick or a dissolving corpse
// kills itself, without telling anyone.
class Reaper : public Object {
public:
    std::unique_ptr<Object> clone() const override { return std::make_unique<Reaper>(*this); }
    void update(int) override {
        if (victim != nullptr) victim->kill();
        victim = nullptr;
    }
    Object* victim = nullptr;
};

class EnemyTest : public CombatFixture {
protected:
    // Ticks until the enemy has made its first decision (after its start delay).
    bool decided(Enemy* enemy) {
        return tickUntil([&] { return enemy->getState() != Enemy::Decide; }, 100);
    }
};

class TwoPlayerEnemyTest : public EnemyTest {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(TwoPlayerEnemyTest, EnemiesSpreadOverBothPlayersAndWaitTheirTurnBeyondThree) {
    Player* p1 = game().getPlayer1();
    Player* p2 = game().getPlayer2();
    p1->position = Vec3(-12, 0, -5);
    p2->position = Vec3(0, 0, -5);

    // Claimants stay where they are so that only the counters matter.
    Player* expected[] = {p2, p1, p2, p1, p2, p1};
    for (Player* who : expected) {
        Enemy* claimant = spawn(std::make_unique<Enemy>(0), Vec3(-16, 0, -9));
        ASSERT_TRUE(decided(claimant));
        EXPECT_EQ(claimant->getTarget(), who);
        claimant->setState(Enemy::Idle);
    }
    EXPECT_EQ(claims(1), 3);
    EXPECT_EQ(claims(2), 3);

    Enemy* fourth = spawn(std::make_unique<Enemy>(0), Vec3(12, 0, -5));
    ASSERT_TRUE(decided(fourth));
    EXPECT_EQ(fourth->getState(), Enemy::HoldOff);
    EXPECT_EQ(fourth->getTarget(), nullptr);

    ASSERT_TRUE(tickUntil([&] { return fourth->isWaiting(); }));
    const double stoppedAt = fourth->position.x;
    EXPECT_LE(stoppedAt - p2->position.x, 10.0);
    EXPECT_GT(stoppedAt - p2->position.x, 9.5);

    p2->position.x = stoppedAt - 12.5;  // inside the band: it keeps standing
    tick(30);
    EXPECT_EQ(fourth->position.x, stoppedAt);
    p2->position.x = stoppedAt - 13.5;  // beyond it: it closes in again
    ASSERT_TRUE(tickUntil([&] { return fourth->position.x < stoppedAt - 3.0 && fourth->isWaiting(); }));
    EXPECT_LE(fourth->position.x - p2->position.x, 10.0);
    EXPECT_EQ(claims(1), 3);
    EXPECT_EQ(claims(2), 3);

    // A punch from player 1 makes it fight player 1 whatever the counters say.
    p1->position = fourth->position - Vec3(2, 0, 0);
    p1->setFacingLeft(false);
    p1->attack();
    ASSERT_TRUE(tickUntil([&] { return fourth->getTarget() == p1; }));
    EXPECT_EQ(claims(1), 4);
    ASSERT_TRUE(tickUntil([&] { return p1->getHealth() < 300.0f; }, 200));
}

TEST_F(EnemyTest, ARedEnemyNeverFetchesAWeaponAndAYellowOneLeavesOneFartherThanItsPlayer) {
    player->position = Vec3(-6, 0, -5);
    Stick* stick = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(6, 0, -5));
    Enemy* yellow = spawn(std::make_unique<Enemy>(3), Vec3(-16, 0, -5));
    Enemy* red = spawn(std::make_unique<Enemy>(0), Vec3(10, 0, -5));
    ASSERT_TRUE(decided(yellow));
    EXPECT_EQ(yellow->getState(), Enemy::ApproachPlayer1);
    for (int i = 0; i < 300; ++i, tick()) {
        ASSERT_NE(red->getState(), Enemy::FetchWeapon);
        ASSERT_EQ(red->heldWeapon(), nullptr);
    }
    EXPECT_TRUE(inWorld(stick));
    EXPECT_LT(player->getHealth(), 300.0f) << "they walked past the stick and fought bare-handed";
}

TEST_F(EnemyTest, AYellowEnemyFetchesAWeaponNearerThanItsPlayerAndForgetsOneThatVanishes) {
    player->position = Vec3(-6, 0, -5);
    Stick* first = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(6, 0, -5));
    Enemy* yellow = spawn(std::make_unique<Enemy>(3), Vec3(10, 0, -5));
    Reaper* reaper = spawn(std::make_unique<Reaper>(), Vec3(0, 0, 0));  // updated after the enemy
    ASSERT_TRUE(decided(yellow));
    EXPECT_EQ(yellow->getState(), Enemy::FetchWeapon);
    ASSERT_EQ(yellow->getTarget(), first);
    EXPECT_EQ(claims(1), 0);
    tick(3);
    reaper->victim = first;
    tick();
    EXPECT_FALSE(inWorld(first));
    EXPECT_EQ(yellow->getTarget(), nullptr) << "forgotten before it was deleted";

    Stick* second = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(5, 0, -5));
    ASSERT_TRUE(tickUntil([&] { return yellow->heldWeapon() == second; }));
    EXPECT_FALSE(inWorld(second));
    ASSERT_TRUE(tickUntil([&] { return yellow->getState() == Enemy::Striking; }, 200));
    EXPECT_EQ(yellow->getTarget(), player);
    EXPECT_EQ(claims(1), 1);
    ASSERT_TRUE(tickUntil([&] { return player->getHealth() < 300.0f; }, 200));
}

// A blow makes a figure reel for longer than a fetch may stall.
class ReelingEnemyTest : public EnemyTest {
protected:
    void configure() override {
        const std::string frame = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 700\n";
        dir.write("animations/Hit1.txt", "hit\n" + frame + frame + frame + frame);
    }
};

TEST_F(ReelingEnemyTest, AFetchPassesAnInkPotAndABlowButGivesUpAStickOutOfReachOrOutOfView) {
    player->position = Vec3(-8, 0, -5);
    Stick* stick = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(2, 0, -5));
    spawn(std::make_unique<LargeHealth>(), Vec3(6, 0, -5));
    Enemy* yellow = spawn(std::make_unique<Enemy>(3), Vec3(12, 0, -5));
    ASSERT_TRUE(tickUntil([&] { return yellow->position.x < 10.0; }, 300));
    yellow->message(player, Hit);
    ASSERT_EQ(yellow->getFigureState(), FigureState::Recoiling);
    for (int i = 0; i < 300 && yellow->heldWeapon() == nullptr; ++i, tick()) {
        ASSERT_EQ(yellow->getTarget(), stick) << "gave up while reeling";
    }
    EXPECT_EQ(yellow->heldWeapon(), stick);
    // Deep inside a big crate no hand can reach it: the enemy walks round and round.
    spawn(std::make_unique<Obstacle>("crate", 2.5, 2.0, 2.0, 0), Vec3(16, 0, -5));
    Stick* buried = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(16, 0, -5));
    Enemy* seeker = spawn(std::make_unique<Enemy>(3), Vec3(12, 0, -5));
    ASSERT_TRUE(decided(seeker) && seeker->getTarget() == buried);
    ASSERT_TRUE(tickUntil([&] { return seeker->getTarget() == player; }, 150)) << "gave up within 3 s";
    Stick* far = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(-16, 0, -5));
    Enemy* third = spawn(std::make_unique<Enemy>(3), Vec3(-13, 0, -5));
    ASSERT_TRUE(decided(third) && third->getTarget() == far);
    far->position.x = game().getLevel().leftEdge(25.0) - 1.0;  // the view has moved on
    tick();
    EXPECT_NE(third->getTarget(), far);
}

TEST_F(EnemyTest, AYellowEnemyTakesAWholeCorpseOnlyWhenItsRollAllows) {
    seedRandom(7);
    int bazookas = 0;
    int heads = 0;
    for (int trial = 0; trial < 16; ++trial) {
        game().startGame(true, false, "arena.dat");
        player = game().getPlayer1();
        player->position = Vec3(-12, 0, -5);  // beyond preferStickRange: a head beats a limb
        Enemy* corpse = corpseAt(Vec3(5, 0, -5));
        Enemy* yellow = spawn(std::make_unique<Enemy>(3), Vec3(8, 0, -5));
        ASSERT_TRUE(tickUntil([&] { return yellow->heldWeapon() != nullptr; }, 300));
        if (yellow->heldWeapon() == corpse) {
            ++bazookas;
        } else {
            ASSERT_NE(dynamic_cast<Head*>(yellow->heldWeapon()), nullptr);
            EXPECT_FALSE(corpse->getModel().isAttached(LimbHead));
            ++heads;
        }
    }
    EXPECT_GT(bazookas, 0);
    EXPECT_GT(heads, 0);
}

TEST_F(EnemyTest, TheTallyCountsTheRealClaimsThroughDeathsRespawnsAndRemovals) {
    auto realClaims = [&] {
        const std::vector<Enemy*> all = minions();
        return std::count_if(all.begin(), all.end(), [&](Enemy* e) { return !e->isDead() && e->getTarget() == player; });
    };
    Enemy* fallen = spawn(std::make_unique<Enemy>(0), Vec3(10, 0, -5));
    spawn(std::make_unique<Enemy>(0), Vec3(12, 0, -5));
    spawn(std::make_unique<Enemy>(0), Vec3(14, 0, -5));
    ASSERT_TRUE(tickUntil([&] { return claims(1) == 3; }, 100));
    fallen->takeDamage(1000.0f);
    EXPECT_EQ(claims(1), 2);
    player->takeDamage(1000.0f);
    tick();
    EXPECT_EQ(claims(1), 0) << "a fallen player frees every place";
    player->respawn();
    Enemy* newcomer = spawn(std::make_unique<Enemy>(0), Vec3(-10, 0, -5));
    for (int i = 0; i < 100; ++i, tick()) ASSERT_EQ(claims(1), realClaims());
    EXPECT_EQ(newcomer->getTarget(), player) << "no holding off for phantoms";
    newcomer->kill();
    tick();
    EXPECT_EQ(claims(1), realClaims());
    game().clearWorld();
    EXPECT_EQ(claims(1), 0);
}

TEST_F(EnemyTest, ACorpseCarriedOffForgetsTheStickItWasFetching) {
    player->position = Vec3(-12, 0, 0);
    Stick* stick = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(9, 0, 0));
    Enemy* yellow = spawn(std::make_unique<Enemy>(3), Vec3(4, 0, 0));
    ASSERT_TRUE(decided(yellow) && yellow->getTarget() == stick);
    yellow->takeDamage(1000.0f);
    EXPECT_EQ(yellow->getTarget(), nullptr);
    ASSERT_TRUE(tickUntil([&] { return yellow->getFall() >= 1.0f; }));
    player->position = yellow->position - Vec3(1.5, 0, 0);
    tick();
    player->pickUp(WholeBody);
    ASSERT_TRUE(moveDone());
    ASSERT_EQ(player->heldWeapon(), yellow);
    // Killed after the holder (and so the corpse) was updated, deleted in that same tick.
    spawn(std::make_unique<Reaper>(), Vec3(0, 0, 0))->victim = stick;
    tick(3);
}

}  // namespace
