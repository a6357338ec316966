#include <gtest/gtest.h>

#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/Stick.h"

#include "RegionProbe.h"

namespace {

const Color kRed(0.3, 0.0, 0.0, 1.0);

class HeadStickTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("gravity", 50.0f);
        settings.setFloat("headRadius", 0.5f);
        settings.setInt("throwsPerHead", 3);
        settings.setInt("throwDuration", 200);
        settings.setInt("swingsPerStick", 3);
    }

    // Ticks until the head stops flying; the number of ticks it took.
    int flyUntilLanded(Head* head) {
        int ticks = 0;
        while (head->isFlying() && ticks < 10000) {
            game.updateObjects(20);
            ++ticks;
        }
        return ticks;
    }

    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(HeadStickTest, HeadVanishesWhenItLandsAfterItsLastThrow) {
    Head* head = placeInWorld(std::make_unique<Head>(kRed), Vec3(0, 0.5, -2));
    ASSERT_EQ(head->regions().size(), 1u);
    EXPECT_EQ(head->regions()[0].type, RegionType::Pickup);

    for (int throwNumber = 1; throwNumber <= 3; ++throwNumber) {
        head->launch(Vec3(5, 5, 0), false);
        EXPECT_EQ(head->throwsLeft(), 3 - throwNumber);
        ASSERT_EQ(head->regions().size(), 2u);
        EXPECT_EQ(head->regions()[0].type, RegionType::Attack);
        EXPECT_EQ(head->regions()[1].type, RegionType::Solid);

        EXPECT_LT(flyUntilLanded(head), 10000);
        EXPECT_DOUBLE_EQ(head->position.y, 0.5);
        EXPECT_EQ(head->removed, throwNumber == 3) << "throw " << throwNumber;
        game.removeKilledObjects();
        if (throwNumber < 3) {
            ASSERT_TRUE(inWorld(head));
        }
    }
    EXPECT_FALSE(inWorld(head));
}

TEST_F(HeadStickTest, ThrownHeadFliesLevelForTheThrowDurationThenFalls) {
    Head* head = placeInWorld(std::make_unique<Head>(kRed), Vec3(0, 3, -2));
    head->launch(Vec3(10, 0, 0), false);

    for (int tick = 0; tick < 10; ++tick) {
        game.updateObjects(20);
    }
    EXPECT_DOUBLE_EQ(head->position.y, 3.0);
    EXPECT_NEAR(head->position.x, 2.0, 1e-9);

    game.updateObjects(20);
    EXPECT_LT(head->position.y, 3.0);
    EXPECT_TRUE(head->isFlying());
}

TEST_F(HeadStickTest, ShotHeadExplodesOnceOnContact) {
    Head* head = placeInWorld(std::make_unique<Head>(kRed), Vec3(0, 1, -2));
    // Body and Solid both overlap the flying head: a HitLanded and a Bump in one pass.
    RegionProbe* target = placeInWorld(
        std::make_unique<RegionProbe>(
            RegionList{circle(RegionType::Body, 0.5), circle(RegionType::Solid, 0.5)}),
        Vec3(0.5, 0, -2));
    RegionProbe* bystander = placeInWorld(std::make_unique<RegionProbe>(), Vec3(40, 0, -2));
    head->launch(Vec3(10, 0, 0), true);
    ASSERT_TRUE(head->isShot());

    game.collisionPass();

    EXPECT_EQ(target->count(Hit), 1);
    EXPECT_EQ(target->count(Bump), 1);
    EXPECT_EQ(target->count(Explosion), 1);
    EXPECT_EQ(bystander->count(Explosion), 1);
    EXPECT_TRUE(head->removed);
    game.removeKilledObjects();
    EXPECT_FALSE(inWorld(head));
}

TEST_F(HeadStickTest, StickWearsOutAfterItsLandedSwings) {
    Stick* stick = placeInWorld(std::make_unique<Stick>(kRed), Vec3(3, 0, -1));

    // One swing that strikes two bodies costs one swing.
    stick->setSwinging(true);
    stick->registerHit();
    stick->registerHit();
    stick->setSwinging(false);
    EXPECT_EQ(stick->swingsLeft(), 2);

    // A swing into thin air costs nothing.
    stick->setSwinging(true);
    stick->setSwinging(false);
    EXPECT_EQ(stick->swingsLeft(), 2);

    stick->setSwinging(true);
    stick->registerHit();
    stick->setSwinging(false);
    tickObjects();
    ASSERT_TRUE(inWorld(stick));

    stick->setSwinging(true);
    stick->registerHit();
    EXPECT_EQ(stick->swingsLeft(), 0);
    stick->registerHit();
    stick->setSwinging(false);
    EXPECT_EQ(stick->swingsLeft(), 0);
    tickObjects();
    EXPECT_FALSE(inWorld(stick));
}

}  // namespace
