#include <gtest/gtest.h>

#include <cmath>

#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"
#include "world/Health.h"
#include "world/Message.h"
#include "world/Obstacle.h"
#include "RegionProbe.h"

namespace {

class ObstacleTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::instance().setFloat("gravity", 100.0f); }

    Obstacle* crate(int contents, const Vec3& where = Vec3(0, 0, -2)) {
        return placeInWorld(std::make_unique<Obstacle>("crate", 1.0, 3.0, 2.0, contents), where);
    }
    RegionProbe* fist(const Vec3& where, int attackRegions = 1) {
        RegionList regions(attackRegions, circle(RegionType::Attack, 0.5));
        return placeInWorld(std::make_unique<RegionProbe>(regions), where);
    }

    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(ObstacleTest, UnbreakableObstacleOnlyBlocks) {
    Obstacle* wall = crate(0);
    RegionProbe* attacker = fist(Vec3(0.5, 0, -2));
    RegionProbe* walker = placeInWorld(
        std::make_unique<RegionProbe>(RegionList{circle(RegionType::Solid, 0.5)}), Vec3(-0.5, 0, -2));

    game.collisionPass();

    EXPECT_FALSE(wall->isBroken());
    EXPECT_EQ(attacker->count(HitLanded), 0);
    EXPECT_EQ(walker->count(Bump), 1);
}

TEST_F(ObstacleTest, BreakableObstacleWithoutContentsLeavesNothing) {
    Obstacle* box = crate(1);
    fist(Vec3(0.5, 0, -2));

    game.collisionPass();

    EXPECT_TRUE(box->isBroken());
    EXPECT_TRUE(box->regions().empty());
    EXPECT_EQ(countInWorld<Health>(), 0);
}

TEST_F(ObstacleTest, BrokenObstacleLeavesOnePickupAndCannotBeHitAgain) {
    Obstacle* box = crate(4, Vec3(7, 0, -3));
    // Two fists over the crate in the same tick: two Hit messages.
    RegionProbe* attacker = fist(Vec3(7.5, 0, -3), 2);
    RegionProbe* walker = placeInWorld(
        std::make_unique<RegionProbe>(RegionList{circle(RegionType::Solid, 0.5)}), Vec3(7, 0, -3));

    game.collisionPass();
    EXPECT_EQ(attacker->count(HitLanded), 2);
    game.collisionPass();

    EXPECT_TRUE(box->isBroken());
    EXPECT_EQ(attacker->count(HitLanded), 2);
    // Broken before the walker's pair was tested: it no longer blocks.
    EXPECT_EQ(walker->count(Bump), 0);
    ASSERT_EQ(countInWorld<LargeHealth>(), 1);
    for (const auto& object : game.getWorld()) {
        if (auto* pickup = dynamic_cast<LargeHealth*>(object.get())) {
            EXPECT_EQ(pickup->position, Vec3(7, 0, -3));
            EXPECT_FLOAT_EQ(pickup->amount(), 300.0f);
        }
    }
}

TEST_F(ObstacleTest, DebrisFliesAwayBouncesThreeTimesAndGoes) {
    Obstacle* box = crate(2);
    fist(Vec3(-0.5, 0, -2));
    game.collisionPass();
    ASSERT_EQ(countInWorld<SmallHealth>(), 1);

    int floorContacts = 0;
    double highest = 0.0;
    double lastX = box->position.x;
    for (int tick = 1; tick < 1000 && !box->removed; ++tick) {
        game.updateObjects(20);
        EXPECT_NEAR(box->position.x - lastX, 0.05, 1e-9) << "tick " << tick;
        lastX = box->position.x;
        highest = std::max(highest, box->position.y);
        if (box->position.y == 0.0) {
            ++floorContacts;
            EXPECT_EQ(box->removed, floorContacts == 3) << "contact " << floorContacts;
        }
    }
    game.removeKilledObjects();

    EXPECT_FALSE(inWorld(box));
    EXPECT_EQ(floorContacts, 3);
    // Rising at 15 against gravity 100 (the half speed changes the time, not the height).
    EXPECT_NEAR(highest, 15.0 * 15.0 / (2.0 * 100.0), 0.15);
}

}  // namespace
