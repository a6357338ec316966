#include <cstdlib>
#include <memory>

#include "characters/CombatFixture.h"
#include "core/Random.h"
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
    std::unique_ptr<Object> clone() const override { return std::make_unique<Listener>(*this); }
    void message(Object*, int message) override { explosions += message == Explosion ? 1 : 0; }
    int explosions = 0;
};

class CombatTest : public CombatFixture {
protected:
    // Drops what the player holds and presses pick-up while holding `directionKey` (0:
    // none); what the player then holds.
    Object* pickUpHolding(int directionKey) {
        player->dropWeapon();
        tick();
        if (directionKey != 0) game().keyboard(directionKey, 0, true, 0);
        game().keyboard('p', 0, true, 0);
        game().keyboard('p', 0, false, 0);
        if (directionKey != 0) game().keyboard(directionKey, 0, false, 0);
        EXPECT_EQ(player->getFigureState(), FigureState::PickupStart);
        EXPECT_TRUE(moveDone());
        return player->heldWeapon();
    }

    static bool hasBoth(const Enemy* enemy, Limb a, Limb b) {
        return enemy->getModel().isAttached(a) && enemy->getModel().isAttached(b);
    }
};

TEST_F(CombatTest, AFistReachesThreePointFiveHitsOnceInTheCooldownAndHurtsByTheStoreAsItIsNow) {
    Dummy* target = spawn(std::make_unique<Dummy>(), Vec3(3.6, 0, 0));
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_FLOAT_EQ(target->getHealth(), 100.0f) << "just out of reach";

    target->position = Vec3(3.5, 0, 0);
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_FLOAT_EQ(target->getHealth(), 90.0f);
    EXPECT_EQ(target->getFigureState(), FigureState::Recoiling);
    player->attack();
    ASSERT_TRUE(tickUntil([&] { return standing(player) && !player->getModel().isPlaying(); }, 30));
    EXPECT_GT(target->getHitCooldown(), 0);
    EXPECT_FLOAT_EQ(target->getHealth(), 90.0f) << "the second punch came inside 500 ms";

    Head shell(Color(0, 0, 0, 1));
    shell.position = target->position + Vec3(1, 0, 0);
    game().broadcast(&shell, Explosion);
    EXPECT_NEAR(target->getHealth(), 90.0f - 20.0f * (64.0f - 1.0f) / 64.0f, 1e-4);

    // A changed store (an online joiner takes the host's) counts from the next blow on.
    Settings::instance().setFloat("punchDamage", 30.0f);
    ASSERT_TRUE(tickUntil([&] { return target->getHitCooldown() <= 0 && standing(target); }));
    target->position = Vec3(3.5, 0, 0);
    const float before = target->getHealth();
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_NEAR(target->getHealth(), before - 30.0f, 1e-4);
}

TEST_F(CombatTest, OneSwingOnTwoBodiesCostsOneAndTheStickWearsOut) {
    player->takeWeapon(std::make_unique<Stick>(Color(0, 0, 1, 1)));
    auto* stick = dynamic_cast<Stick*>(player->heldWeapon());
    ASSERT_NE(stick, nullptr);
    Dummy* near = spawn(std::make_unique<Dummy>(), Vec3(3.0, 0, 0));
    Dummy* deep = spawn(std::make_unique<Dummy>(), Vec3(3.0, 0, -1.0));
    player->setFacingLeft(true);
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_EQ(stick->swingsLeft(), 3) << "a swing that hits nothing costs nothing";

    player->setFacingLeft(false);
    for (int swing = 0; swing < 3; ++swing) {
        tickUntil([&] { return near->getHitCooldown() == 0; });
        player->attack();
        ASSERT_TRUE(moveDone());
        if (swing == 0) {
            EXPECT_EQ(stick->swingsLeft(), 2) << "a swing on two bodies costs one";
        }
    }
    EXPECT_FLOAT_EQ(near->getHealth(), 40.0f);
    EXPECT_FLOAT_EQ(deep->getHealth(), 40.0f);
    tick(2);
    EXPECT_EQ(player->heldWeapon(), nullptr);
    EXPECT_EQ(player->getModel().animationPlayer().animationName(), "fightstance");
    for (const auto& object : game().getWorld()) {
        EXPECT_EQ(dynamic_cast<Stick*>(object.get()), nullptr) << "the worn stick is gone";
    }
}

TEST_F(CombatTest, RippingAnArmOffALivingEnemyUnlessAHitLetsItGo) {
    Enemy* enemy = spawn(std::make_unique<Enemy>(0), Vec3(2.0, 0, 0));
    tick();
    player->pickUp(ArmPart);
    ASSERT_TRUE(enemy->isBeingRipped());
    player->message(enemy, Hit);
    EXPECT_EQ(player->getFigureState(), FigureState::Recoiling);
    EXPECT_FALSE(enemy->isBeingRipped());
    ASSERT_TRUE(moveDone());

    player->pickUp(LegPart);  // a living figure only gives arms
    EXPECT_EQ(player->getFigureState(), FigureState::RipStart);
    ASSERT_TRUE(moveDone());
    EXPECT_NE(dynamic_cast<Stick*>(player->heldWeapon()), nullptr);
    EXPECT_FALSE(enemy->getModel().isAttached(LimbArm1));
    EXPECT_TRUE(enemy->getModel().isAttached(LimbArm2));
    EXPECT_FALSE(enemy->isBeingRipped());
    player->dropWeapon();
    tick();
    player->pickUp(ArmPart);
    EXPECT_NE(player->getFigureState(), FigureState::RipStart) << "the last arm of the living stays on";
}

TEST_F(CombatTest, TheHeldDirectionPicksTheWholeCorpseALegTheHeadOrAnArm) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    EXPECT_EQ(pickUpHolding('d'), corpse) << "sideways";
    EXPECT_NE(dynamic_cast<Stick*>(pickUpHolding('s')), nullptr);
    EXPECT_FALSE(hasBoth(corpse, LimbLeg1, LimbLeg2));
    EXPECT_TRUE(hasBoth(corpse, LimbArm1, LimbArm2));
    auto* head = dynamic_cast<Head*>(pickUpHolding('w'));
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->getColour(), corpse->getColor());
    EXPECT_FALSE(corpse->getModel().isAttached(LimbHead));
    EXPECT_NE(dynamic_cast<Stick*>(pickUpHolding(0)), nullptr);
    EXPECT_FALSE(hasBoth(corpse, LimbArm1, LimbArm2));

    player->dropWeapon();
    tick();
    player->pickUp(ArmPart);
    ASSERT_EQ(player->getFigureState(), FigureState::PickupStart);
    corpse->kill();
    ASSERT_TRUE(moveDone());
    EXPECT_EQ(player->heldWeapon(), nullptr) << "the corpse went mid-grab";
    EXPECT_EQ(player->getGrabTarget(), nullptr);
}

TEST_F(CombatTest, AWholeCorpseBecomesABazookaThatFiresItsHead) {
    Enemy* corpse = corpseAt(Vec3(1.5, 0, 0));
    Dummy* target = spawn(std::make_unique<Dummy>(), Vec3(12.0, 0, 0));
    auto* listener = spawn(std::make_unique<Listener>(), Vec3(0, 0, 0));
    player->pickUp(WholeBody);
    ASSERT_TRUE(moveDone());
    ASSERT_EQ(player->heldWeapon(), corpse);
    EXPECT_FALSE(inWorld(corpse));
    EXPECT_TRUE(corpse->isCarriedAsBazooka());

    player->attack();
    EXPECT_EQ(player->getFigureState(), FigureState::BazookaStart);
    // Attack mashed through the shot neither starts it over nor fires twice.
    auto mash = [&](const std::function<bool()>& until, int ticks) {
        return tickUntil([&] {
            player->attack();
            return until();
        }, ticks);
    };
    ASSERT_TRUE(mash([&] { return player->getFigureState() == FigureState::BazookaFinish; }, 500));
    EXPECT_FALSE(corpse->getModel().isAttached(LimbHead));
    ASSERT_TRUE(mash([&] { return listener->explosions > 0; }, 100));
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

TEST_F(CombatTest, OnlyAStrippedCorpseDissolvesWhenTheBossCallsAWave) {
    Enemy* whole = spawn(std::make_unique<Enemy>(0), Vec3(5, 0, -2));
    Enemy* stripped = spawn(std::make_unique<Enemy>(0), Vec3(-5, 0, -2));
    whole->die();
    stripped->die();
    std::unique_ptr<Object> arm = stripped->loseLimb(ArmPart);
    seedRandom(7);
    int waves = 0;
    for (; waves < 200 && !stripped->removed; ++waves) game().disintegrateAll();
    EXPECT_TRUE(stripped->removed);
    EXPECT_GT(waves, 1) << "one time in ten, not every time";
    EXPECT_FALSE(whole->removed) << "a complete corpse is still a bazooka";
}

TEST_F(CombatTest, DrinkingAPotAtFullHealthStillEmptiesIt) {
    Health* pot = spawn(std::make_unique<LargeHealth>(), Vec3(0.5, 0, 0));
    tick();
    EXPECT_TRUE(pot->removed);
    EXPECT_FLOAT_EQ(player->getHealth(), 300.0f);
    player->takeDamage(200.0f);
    spawn(std::make_unique<SmallHealth>(), Vec3(0.5, 0, 0));
    tick(2);
    EXPECT_FLOAT_EQ(player->getHealth(), 150.0f);
}

class EmptyPunchTest : public CombatFixture {
protected:
    void configure() override { dir.write("animations/PunchStart.txt", ""); }
};

TEST_F(EmptyPunchTest, APunchWithoutItsAnimationIsOverAtOnce) {
    player->attack();
    ASSERT_TRUE(moveDone()) << "not frozen in the punch";
    player->move(Vec3(0.25, 0, 0));
    EXPECT_EQ(player->getFigureState(), FigureState::Walking);
}

class TwoPlayerCombatTest : public CombatFixture {
protected:
    bool twoPlayers() const override { return true; }
};

TEST_F(TwoPlayerCombatTest, NoFriendlyFireFromFistsButHeadsStillHurt) {
    Player* second = game().getPlayer2();
    second->position = Vec3(-2.0, 0, 0);
    player->position = Vec3(-5.0, 0, 0);
    player->attack();
    ASSERT_TRUE(moveDone());
    EXPECT_FLOAT_EQ(second->getHealth(), 300.0f);

    Head head(Color(0, 0, 0, 1));
    head.launch(Vec3(30, 0, 0), false);
    second->message(&head, Hit);
    EXPECT_FLOAT_EQ(second->getHealth(), 275.0f);
}

}  // namespace
