#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
    RegionProbe* probe(const std::string& name, RegionType type, int regionCount, const Vec3& where) {
        const RegionList regions(regionCount, circle(type, 0.5));
        return placeInWorld(std::make_unique<RegionProbe>(name, log, regions), where);
    }

    TempDataDir dir;
    Game& game = Game::instance();
    std::vector<Received> log;
};

// Each crate has a double fist over it (two Hits in one pass) and a walker inside it that
// comes after the fist in the world, so its pair is tested once the crate is broken.
TEST_F(ObstacleTest, ContentsDecideWhetherABlowBreaksItAndWhatItLeaves) {
    Obstacle* solid = crate(0, Vec3(0, 0, -3));
    Obstacle* empty = crate(1, Vec3(20, 0, -3));
    Obstacle* large = crate(4, Vec3(40, 0, -3));
    std::vector<RegionProbe*> fists;
    std::vector<RegionProbe*> walkers;
    for (const int x : {0, 20, 40}) {
        fists.push_back(probe("fist" + std::to_string(x), RegionType::Attack, 2, Vec3(x + 0.5, 0, -3)));
        walkers.push_back(probe("walker" + std::to_string(x), RegionType::Solid, 1, Vec3(x, 0, -3)));
    }
    game.collisionPass();
    game.collisionPass();

    EXPECT_FALSE(solid->isBroken());
    EXPECT_EQ(fists[0]->count(HitLanded), 0);
    EXPECT_EQ(walkers[0]->count(Bump), 2);

    EXPECT_TRUE(empty->isBroken());
    EXPECT_TRUE(large->isBroken());
    EXPECT_TRUE(large->regions().empty());
    EXPECT_EQ(fists[2]->count(HitLanded), 2) << "broken in the first pass, never hit again";
    EXPECT_EQ(walkers[2]->count(Bump), 0) << "a broken obstacle no longer blocks";
    ASSERT_EQ(objectsOf<Health>().size(), 1u);
    const std::vector<LargeHealth*> pickups = objectsOf<LargeHealth>();
    ASSERT_EQ(pickups.size(), 1u);
    EXPECT_EQ(pickups[0]->position, Vec3(40, 0, -3));
    EXPECT_FLOAT_EQ(pickups[0]->amount(), 300.0f);
}

TEST_F(ObstacleTest, DebrisFliesAwayBouncesThreeTimesAndGoes) {
    Obstacle* box = crate(2);
    probe("fist", RegionType::Attack, 1, Vec3(-0.5, 0, -2));
    game.collisionPass();
    ASSERT_EQ(objectsOf<SmallHealth>().size(), 1u);

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
    EXPECT_TRUE(objectsOf<Obstacle>().empty());
    EXPECT_EQ(floorContacts, 3);
    // Rising at 15 against gravity 100 (the half speed changes the time, not the height).
    EXPECT_NEAR(highest, 15.0 * 15.0 / (2.0 * 100.0), 0.15);
}

}  // namespace
