#include <gtest/gtest.h>

#include <cmath>

#include "core/Settings.h"
#include "world/Ink.h"
#include "world/ParticleEffect.h"

namespace {

const Color kBlue(0, 0, 1, 1);
const Color kGreen(0, 1, 0, 1);
const Vec3 kAbove(0, 5, 0);
const Vec3 kRight(1, 0, 0);

// Each test runs in its own process: Ink is created by the first instance() after this.
Ink& inkWithRoomFor(int maxSplats, float gravity = 10.0f) {
    Settings::instance().setInt("maxSplats", maxSplats);
    Settings::instance().setFloat("gravity", gravity);
    return Ink::instance();
}

// Splats of size 0.5: drops shot straight down from just above the floor land at once.
void dropOnFloor(Ink& ink, int count, const Color& colour) {
    ink.spray(Vec3(3, 0.01, -2), Vec3(0, -1, 0), colour, 1, 0, 0.5, 0, 0, count, 1.0);
    ink.update(20);
}

}  // namespace

TEST(ParticleEffectTest, PercentIsTheChanceOfEachDropAndScaleMultipliesIt) {
    Ink& ink = inkWithRoomFor(20000);
    Settings::instance().setInt("headHitParticleCount", 10);
    Settings::instance().setFloat("headHitParticlePercent", 0.5f);
    const ParticleEffect effect("headHit");

    for (int i = 0; i < 1000; ++i) {
        effect.emit(kAbove, kRight, kBlue, 1.0);
    }
    EXPECT_NEAR(ink.particleCount(), 5000, 300);

    ink.clear();
    effect.emit(kAbove, kRight, kBlue, 2.0);
    EXPECT_EQ(ink.particleCount(), 10);
    effect.emit(kAbove, kRight, kBlue, 0.0);
    effect.emit(kAbove, kRight, kBlue, -1.0);
    EXPECT_EQ(ink.particleCount(), 10);
    effect.burst(kAbove, kBlue);
    EXPECT_EQ(ink.particleCount(), 20) << "a burst ignores the chance";
}

TEST(InkTest, BloodModeTurnsEveryDropDarkRedAndIsReadAtEachSpray) {
    Ink& ink = inkWithRoomFor(100);
    Settings::instance().setInt("bloodMode", 1);
    ink.spray(kAbove, kRight, kBlue, 5, 1, 0.3, 0.1, 0.5, 5, 1.0);
    ink.burst(kAbove, 5, 1, 0.3, 0.1, 5, kGreen);
    Settings::instance().setInt("bloodMode", 0);
    ink.spray(kAbove, kRight, kBlue, 5, 1, 0.3, 0.1, 0.5, 1, 1.0);
    ASSERT_EQ(ink.particleCount(), 11);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ink.particle(i).colour, Color(0.7, 0, 0, 1));
    }
    EXPECT_EQ(ink.particle(10).colour, kBlue);
}

TEST(InkTest, SprayFliesAlongItsDirectionSpreadByPhi) {
    Ink& ink = inkWithRoomFor(200);
    const Vec3 direction(0.6, 0.8, 0.0);
    ink.spray(kAbove, direction, kBlue, 10, 4, 0.3, 0.1, 0.5, 100, 1.0);
    ASSERT_EQ(ink.particleCount(), 100);
    bool spread = false;
    for (int i = 0; i < ink.particleCount(); ++i) {
        const InkParticle& drop = ink.particle(i);
        const double along = drop.velocity.dot(direction);
        EXPECT_TRUE(along >= 6.0 - 1e-9 && along <= 10.0 + 1e-9) << along;
        const double sideways = (drop.velocity - direction * along).length();
        EXPECT_LE(sideways, std::sqrt(2.0) * 0.5 * along + 1e-9);
        spread = spread || sideways > 0.1;
        EXPECT_TRUE(drop.size > 0.2f - 1e-6f && drop.size <= 0.3f) << drop.size;
    }
    EXPECT_TRUE(spread);

    // No speed or size must not turn into 0/0.
    ink.clear();
    ink.spray(kAbove, kRight, kBlue, 0, 0, 0, 0, 0.5, 2, 1.0);
    ink.burst(kAbove, 0, 0, 0, 0, 2, kBlue);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ink.particle(i).velocity, Vec3(0, 0, 0));
        EXPECT_EQ(ink.particle(i).size, 0.0f);
    }
}

TEST(InkTest, DropsFallUnderTheFirstReadGravityAndLandAsSplats) {
    Ink& ink = inkWithRoomFor(100, 20.0f);
    ink.burst(Vec3(0, 100, 0), 0, 0, 0.3, 0, 1, kBlue);
    ink.update(1000);
    EXPECT_DOUBLE_EQ(ink.particle(0).velocity.y, -20.0);
    Settings::instance().setFloat("gravity", 1000.0f);
    ink.update(500);
    EXPECT_DOUBLE_EQ(ink.particle(0).position.y, 90.0);
    EXPECT_DOUBLE_EQ(ink.particle(0).velocity.y, -30.0);

    ink.clear();
    ink.burst(Vec3(4, 3, -5), 6, 2, 0.3, 0.1, 30, kBlue);
    for (int tick = 0; tick < 500 && ink.particleCount() > 0; ++tick) {
        ink.update(20);
        EXPECT_EQ(ink.particleCount() + ink.splatCount(), 30);
    }
    ASSERT_EQ(ink.splatCount(), 30);
    for (int i = 0; i < ink.splatCount(); ++i) {
        EXPECT_EQ(ink.splat(i).position.y, 0.0);
        EXPECT_NE(ink.splat(i).position.x, 4.0) << "a splat lies where its drop came down";
    }
}

TEST(InkTest, FullFloorPushesOldSplatsIntoFadingAndNoPoolGrows) {
    Ink& ink = inkWithRoomFor(3);
    ink.spray(kAbove, kRight, kBlue, 5, 0, 0.3, 0, 0, 3, 1.0);
    ink.spray(kAbove, kRight, kGreen, 5, 0, 0.3, 0, 0, 3, 1.0);
    ASSERT_EQ(ink.particleCount(), 3);
    EXPECT_TRUE(ink.particle(0).colour == kGreen || ink.particle(1).colour == kGreen ||
                ink.particle(2).colour == kGreen)
        << "a full pool overwrites";

    ink.clear();
    dropOnFloor(ink, 3, kBlue);
    dropOnFloor(ink, 2, kGreen);
    EXPECT_EQ(ink.splatCount(), 3);
    ASSERT_EQ(ink.fadingCount(), 2);
    EXPECT_EQ(ink.fadingSplat(0).colour, kBlue);
    EXPECT_EQ(ink.fadingSplat(1).colour, kBlue);

    for (int round = 0; round < 20; ++round) {
        dropOnFloor(ink, 5, kGreen);
        EXPECT_LE(ink.splatCount(), 3);
        EXPECT_LE(ink.fadingCount(), 3);
    }
}

TEST(InkTest, FadingSplatsVanishAfterSizeOverPointOneSeconds) {
    Ink& ink = inkWithRoomFor(1);
    dropOnFloor(ink, 1, kBlue);
    dropOnFloor(ink, 1, kGreen);
    ASSERT_EQ(ink.fadingCount(), 1);
    // 0.5 / 0.1 = 5 s = 250 ticks, one of which has passed.
    for (int tick = 1; tick < 245; ++tick) {
        ink.update(20);
    }
    ASSERT_EQ(ink.fadingCount(), 1);
    EXPECT_NEAR(ink.fadingSplat(0).size, 0.01, 1e-4);
    for (int tick = 245; tick < 255; ++tick) {
        ink.update(20);
    }
    EXPECT_EQ(ink.fadingCount(), 0);
    EXPECT_EQ(ink.splatCount(), 1);
}

TEST(InkTest, NoRoomMeansNoDrops) {
    Ink& ink = inkWithRoomFor(0);
    Settings::instance().setInt("headShotParticleCount", 10);
    Settings::instance().setFloat("headShotParticlePercent", 1.0f);
    const ParticleEffect effect("headShot");
    effect.emit(kAbove, kRight, kBlue, 1.0);
    effect.burst(kAbove, kBlue);
    ink.update(5000);
    EXPECT_EQ(ink.particleCount() + ink.splatCount() + ink.fadingCount(), 0);
}

TEST(InkTest, NegativeMaxSplatsMeansNoRoom) {
    EXPECT_EQ(inkWithRoomFor(-5).capacity(), 0);
}

TEST(InkTest, HugeMaxSplatsIsBounded) {
    const int capacity = inkWithRoomFor(2000000000).capacity();
    EXPECT_TRUE(capacity > 1000 && capacity <= 65536) << capacity;
}
