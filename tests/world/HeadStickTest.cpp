#include <gtest/gtest.h>

#include <string>

#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Message.h"
#include "world/Stick.h"

#include "RegionProbe.h"

namespace {

const Color kRed(0.3, 0.0, 0.0, 1.0);

class HeadTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("gravity", 50.0f);
        settings.setFloat("headRadius", 0.5f);
        settings.setInt("throwsPerHead", 3);
        settings.setInt("throwDuration", 200);
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) game.updateObjects(20);
    }

    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(HeadTest, FliesLevelForTheThrowDurationAndVanishesOnItsLastLanding) {
    Head* head = placeInWorld(std::make_unique<Head>(kRed), Vec3(0, 0.5, -2));
    auto regionTypes = [&] {
        std::vector<RegionType> types;
        for (const Region& region : head->regions()) types.push_back(region.type);
        return types;
    };
    for (int throwNumber = 1; throwNumber <= 3; ++throwNumber) {
        EXPECT_EQ(regionTypes(), std::vector<RegionType>{RegionType::Pickup});
        head->position = Vec3(0, 3, -2);
        head->launch(Vec3(10, 0, 0), false);
        EXPECT_EQ(regionTypes(), (std::vector<RegionType>{RegionType::Attack, RegionType::Solid}));

        tick(10);
        EXPECT_EQ(head->position.y, 3.0);
        EXPECT_NEAR(head->position.x, 2.0, 1e-9);
        tick();
        EXPECT_LT(head->position.y, 3.0);
        for (int ticks = 0; head->isFlying() && ticks < 1000; ++ticks) tick();
        EXPECT_DOUBLE_EQ(head->position.y, 0.5);
        EXPECT_EQ(head->removed, throwNumber == 3) << "throw " << throwNumber;
        game.removeKilledObjects();
        ASSERT_EQ(objectsOf<Head>().size(), throwNumber == 3 ? 0u : 1u);
    }
}

TEST_F(HeadTest, ShotHeadExplodesOnceOnContact) {
    std::vector<Received> log;
    Head* head = placeInWorld(std::make_unique<Head>(kRed), Vec3(0, 1, -2));
    // Body and Solid both overlap the flying head: a HitLanded and a Bump in one pass.
    const RegionList body = {circle(RegionType::Body, 0.5), circle(RegionType::Solid, 0.5)};
    RegionProbe* target = placeInWorld(std::make_unique<RegionProbe>("target", log, body), Vec3(0.5, 0, -2));
    RegionProbe* bystander = placeInWorld(std::make_unique<RegionProbe>("bystander", log), Vec3(40, 0, -2));
    head->launch(Vec3(10, 0, 0), true);

    game.collisionPass();
    EXPECT_EQ(target->count(Hit), 1);
    EXPECT_EQ(target->count(Bump), 1);
    EXPECT_EQ(target->count(Explosion), 1);
    EXPECT_EQ(bystander->count(Explosion), 1);
    EXPECT_TRUE(head->removed);
    game.removeKilledObjects();
    EXPECT_TRUE(objectsOf<Head>().empty());
}

// Every emitted drip makes exactly `count` drops, so the number of drops counts how often
// an object bled over `frames` draws.
int dripsOver(Object& object, const std::string& effect, int count, int frames) {
    Settings& settings = Settings::instance();
    settings.setInt("maxSplats", 20000);
    settings.setInt(effect + "ParticleCount", count);
    settings.setFloat(effect + "ParticlePercent", 1.0f);
    Ink::instance().clear();
    for (int i = 0; i < frames; ++i) object.draw();
    return Ink::instance().particleCount();
}

TEST(StickDripTest, FreshAndSwungDripsMost) {
    const GlWindow window;
    Settings::instance().setInt("swingsPerStick", 1);
    Stick stick(kRed);
    stick.setSwinging(true);
    EXPECT_NEAR(dripsOver(stick, "stickDrip", 1, 1000), 0.8 * 1000, 60);
    stick.setSwinging(false);
    EXPECT_NEAR(dripsOver(stick, "stickDrip", 1, 1000), 0.3 * 1000, 60);
    stick.setSwinging(true);
    stick.registerHit();
    ASSERT_EQ(stick.swingsLeft(), 0);
    EXPECT_NEAR(dripsOver(stick, "stickDrip", 1, 1000), 0.05 * 1000, 30);
}

// A settings file that allows no throws or swings must not turn the drip amount into a
// division by zero: such objects bleed like worn-out ones.
TEST(StickDripTest, NoThrowsOrSwingsAllowedBleedsLikeWornOut) {
    const GlWindow window;
    Settings::instance().setInt("throwsPerHead", 0);
    Settings::instance().setInt("swingsPerStick", 0);
    Head head(kRed);
    Stick stick(kRed);
    EXPECT_NEAR(dripsOver(head, "headDrip", 100, 10), 0.05 * 1000, 30);
    EXPECT_NEAR(dripsOver(stick, "stickDrip", 1, 1000), 0.05 * 1000, 30);
}

}  // namespace
