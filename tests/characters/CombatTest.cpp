#include <memory>

#include "characters/CombatFixture.h"
#include "render/HealthBar.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Message.h"
#include "world/Stick.h"

namespace {

class Dummy : public StickFigure {
public:
    Dummy() : StickFigure(Color(0, 1, 0, 1)) {}
};

// Counts the explosions it hears of.
class Listener : public Object {
public:
    void message(Object*, int message) override {
        if (message == Explosion) ++explosions;
    }
    int explosions = 0;
};

using PunchTest = CombatFixture;

TEST_F(PunchTest, AFistReachesExactlyTwoUnitsBeyondItsOffset) {
    Dummy* touching = spawn(std::make_unique<Dummy>(), Vec3(3.5, 0, 0));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_FLOAT_EQ(touching->getHealth(), 90.0f);
}

TEST_F(PunchTest, AFistMissesJustOutOfReach) {
    Dummy* beyond = spawn(std::make_unique<Dummy>(), Vec3(3.6, 0, 0));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_FLOAT_EQ(beyond->getHealth(), 100.0f);
}

TEST_F(PunchTest, ASecondPunchInsideTheCooldownIsIgnoredButAnExplosionHurts) {
    Dummy* target = spawn(std::make_unique<Dummy>(), Vec3(3.0, 0, 0));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return target->getHealth() < 100.0f; }));
    EXPECT_EQ(target->getFigureState(), FigureState::Recoiling);
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player) && player->getModel().isPlaying() == false; }, 30));
    EXPECT_GT(target->getHitCooldown(), 0);
    EXPECT_FLOAT_EQ(target->getHealth(), 90.0f);

    Head shell(Color(0, 0, 0, 1));
    shell.position = target->position + Vec3(1, 0, 0);
    game().broadcast(&shell, Explosion);
    EXPECT_NEAR(target->getHealth(), 90.0f - 20.0f * (64.0f - 1.0f) / 64.0f, 1e-4);
}

TEST_F(PunchTest, PlayersWalkThroughFiguresButPushEnemies) {
    Dummy* other = spawn(std::make_unique<Dummy>(), Vec3(0.5, 0, 0));
    tick();
    EXPECT_EQ(player->position, Vec3(0, 0, 0));
    EXPECT_GT(other->position.x, 0.5);
}

using StickTest = CombatFixture;

TEST_F(StickTest, ASwingOnTwoBodiesCostsOneAndTheStickWearsOut) {
    player->takeWeapon(std::make_unique<Stick>(Color(0, 0, 1, 1)));
    auto* stick = dynamic_cast<Stick*>(player->heldWeapon());
    ASSERT_NE(stick, nullptr);
    Dummy* near = spawn(std::make_unique<Dummy>(), Vec3(3.0, 0, 0));
    Dummy* deep = spawn(std::make_unique<Dummy>(), Vec3(3.0, 0, -1.0));

    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_FLOAT_EQ(near->getHealth(), 80.0f);
    EXPECT_FLOAT_EQ(deep->getHealth(), 80.0f);
    EXPECT_EQ(stick->swingsLeft(), 2);

    for (int swing = 0; swing < 2; ++swing) {
        tickUntil([&] { return near->getHitCooldown() == 0; });
        player->attack();
        ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    }
    tick(2);
    EXPECT_EQ(player->heldWeapon(), nullptr);
    EXPECT_EQ(player->getModel().animationPlayer().animationName(), "fightstance");
    for (const auto& object : game().getWorld()) {
        EXPECT_EQ(dynamic_cast<Stick*>(object.get()), nullptr) << "the worn stick is gone";
    }
}

TEST_F(StickTest, ASwingThatHitsNothingCostsNothing) {
    player->takeWeapon(std::make_unique<Stick>(Color(0, 0, 1, 1)));
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_EQ(dynamic_cast<Stick*>(player->heldWeapon())->swingsLeft(), 3);
}

using TearingTest = CombatFixture;

TEST_F(TearingTest, RippingAnArmOffALivingEnemy) {
    Enemy* enemy = spawn(std::make_unique<Enemy>(0), Vec3(2.0, 0, 0));
    tick();
    player->pickUp(LegPart);  // a living figure only gives arms
    EXPECT_EQ(player->getFigureState(), FigureState::RipStart);
    ASSERT_TRUE(tickUntil([&] { return player->heldWeapon() != nullptr; }));
    EXPECT_NE(dynamic_cast<Stick*>(player->heldWeapon()), nullptr);
    EXPECT_FALSE(enemy->getModel().isAttached(LimbArm1));
    EXPECT_TRUE(enemy->getModel().isAttached(LimbArm2));
    EXPECT_FALSE(enemy->isBeingRipped());
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));

    player->dropWeapon();
    tick();
    player->pickUp(ArmPart);
    EXPECT_NE(player->getFigureState(), FigureState::RipStart) << "the last arm of the living stays on";
}

TEST_F(TearingTest, PickingALegAndAHeadFromACorpse) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    player->pickUp(LegPart);
    ASSERT_EQ(player->getFigureState(), FigureState::PickupStart);
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_NE(dynamic_cast<Stick*>(player->heldWeapon()), nullptr);
    EXPECT_FALSE(corpse->getModel().isAttached(LimbLeg1) && corpse->getModel().isAttached(LimbLeg2));

    player->dropWeapon();
    tick();
    player->pickUp(HeadPart);
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    auto* head = dynamic_cast<Head*>(player->heldWeapon());
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->getColour(), corpse->getColor());
    EXPECT_FALSE(corpse->getModel().isAttached(LimbHead));
}

TEST_F(TearingTest, AWholeCorpseBecomesABazookaThatFiresItsHead) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    Dummy* target = spawn(std::make_unique<Dummy>(), Vec3(12.0, 0, 0));
    auto* listener = spawn(std::make_unique<Listener>(), Vec3(0, 0, 0));
    player->pickUp(WholeBody);
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    ASSERT_EQ(player->heldWeapon(), corpse);
    EXPECT_FALSE(inWorld(corpse));
    EXPECT_TRUE(corpse->isCarriedAsBazooka());

    player->attack();
    EXPECT_EQ(player->getFigureState(), FigureState::BazookaStart);
    ASSERT_TRUE(tickUntil([&] { return player->getFigureState() == FigureState::BazookaFinish; }));
    EXPECT_FALSE(corpse->getModel().isAttached(LimbHead));
    ASSERT_TRUE(tickUntil([&] { return listener->explosions > 0; }, 100));
    tick(20);
    EXPECT_EQ(listener->explosions, 1);
    EXPECT_LT(target->getHealth(), 100.0f);
    EXPECT_FLOAT_EQ(player->getHealth(), 300.0f) << "the shooter stood out of the blast";
    for (const auto& object : game().getWorld()) {
        EXPECT_EQ(dynamic_cast<Head*>(object.get()), nullptr) << "the shell burst";
    }
    EXPECT_EQ(player->heldWeapon(), nullptr) << "the headless body was dropped";
    EXPECT_TRUE(inWorld(corpse));
    EXPECT_FALSE(corpse->isCarriedAsBazooka());
}

TEST_F(TearingTest, AGrabTargetDeletedMidAnimationIsNeverTouched) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    player->pickUp(ArmPart);
    ASSERT_EQ(player->getFigureState(), FigureState::PickupStart);
    corpse->kill();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_EQ(player->heldWeapon(), nullptr);
    EXPECT_EQ(player->getGrabTarget(), nullptr);
}

TEST_F(TearingTest, AHitDuringARipLetsTheVictimGo) {
    Enemy* enemy = spawn(std::make_unique<Enemy>(0), Vec3(2.0, 0, 0));
    tick();
    player->pickUp(ArmPart);
    ASSERT_TRUE(enemy->isBeingRipped());
    Dummy attacker;
    attacker.position = Vec3(-1, 0, 0);
    player->message(&attacker, Hit);
    EXPECT_EQ(player->getFigureState(), FigureState::Recoiling);
    EXPECT_FALSE(enemy->isBeingRipped());
}

using PlayerTest = CombatFixture;

TEST_F(PlayerTest, DrinkingAPotAtFullHealthStillEmptiesIt) {
    Health* pot = spawn(std::make_unique<LargeHealth>(), Vec3(0.5, 0, 0));
    tick();
    EXPECT_TRUE(pot->removed);
    EXPECT_FLOAT_EQ(player->getHealth(), 300.0f);
    player->takeDamage(200.0f);
    spawn(std::make_unique<SmallHealth>(), Vec3(0.5, 0, 0));
    tick(2);
    EXPECT_FLOAT_EQ(player->getHealth(), 150.0f);
}

TEST_F(PlayerTest, TheHealthBarFollowsHealthAndShowsWhatIsWithinReach) {
    player->takeDamage(150.0f);
    corpseAt(Vec3(1.5, 0, 0));
    tick();
    EXPECT_FLOAT_EQ(player->getHealthBar()->health, 0.5f);
    EXPECT_EQ(player->getHealthBar()->icons, 0b1111) << "a complete corpse offers everything";
}

class TwoPlayerTest : public CombatFixture {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(TwoPlayerTest, NoFriendlyFireFromFistsButHeadsStillHurt) {
    Player* second = game().getPlayer2();
    second->position = Vec3(-2.0, 0, 0);
    player->position = Vec3(-5.0, 0, 0);
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    EXPECT_FLOAT_EQ(second->getHealth(), 300.0f);

    Head head(Color(0, 0, 0, 1));
    head.launch(Vec3(30, 0, 0), false);
    second->message(&head, Hit);
    EXPECT_FLOAT_EQ(second->getHealth(), 275.0f);
}

class ControlledPickupTest : public CombatFixture {
protected:
    void configure(Settings& s) override {
        s.setInt("player1Up", 'w');
        s.setInt("player1Down", 's');
        s.setInt("player1Right", 'd');
        s.setInt("player1PickUp", 'p');
    }
    void pickUpHolding(int directionKey) {
        if (directionKey != 0) game().keyboard(directionKey, 0, true, 0);
        game().keyboard('p', 0, true, 0);
        game().keyboard('p', 0, false, 0);
        if (directionKey != 0) game().keyboard(directionKey, 0, false, 0);
        ASSERT_EQ(player->getFigureState(), FigureState::PickupStart);
        ASSERT_TRUE(tickUntil([&] { return standing(player); }));
    }
};

TEST_F(ControlledPickupTest, TheHeldDirectionChoosesThePart) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    pickUpHolding('s');
    EXPECT_FALSE(corpse->getModel().isAttached(LimbLeg1) && corpse->getModel().isAttached(LimbLeg2));
    EXPECT_TRUE(corpse->getModel().isAttached(LimbArm1) && corpse->getModel().isAttached(LimbArm2));
    player->dropWeapon();
    tick();
    pickUpHolding('w');
    EXPECT_NE(dynamic_cast<Head*>(player->heldWeapon()), nullptr);
    player->dropWeapon();
    tick();
    pickUpHolding(0);
    EXPECT_FALSE(corpse->getModel().isAttached(LimbArm1) && corpse->getModel().isAttached(LimbArm2));
}

TEST_F(ControlledPickupTest, HoldingSidewaysTakesTheWholeBody) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    pickUpHolding('d');
    EXPECT_EQ(player->heldWeapon(), corpse);
}

}  // namespace
