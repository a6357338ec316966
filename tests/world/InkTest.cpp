#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "core/Settings.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
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

TEST(ParticleEffectTest, ChanceScaleAndBloodModeColour) {
    Ink& ink = inkWithRoomFor(20000);
    Settings::instance().setInt("headHitParticleCount", 10);
    Settings::instance().setFloat("headHitParticlePercent", 0.5f);
    const ParticleEffect effect("headHit");
    for (int i = 0; i < 1000; ++i) effect.emit(kAbove, kRight, kBlue, 1.0);
    EXPECT_NEAR(ink.particleCount(), 5000, 300);

    ink.clear();
    // "bloodMode" is read at each spray and burst; a burst ignores the chance.
    Settings::instance().setInt("bloodMode", 1);
    effect.emit(kAbove, kRight, kBlue, 2.0);
    effect.burst(kAbove, kGreen);
    Settings::instance().setInt("bloodMode", 0);
    effect.emit(kAbove, kRight, kBlue, 2.0);
    ASSERT_EQ(ink.particleCount(), 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(ink.particle(i).colour, i < 20 ? Color(0.7, 0, 0, 1) : kBlue) << i;
}

TEST(InkTest, DropsFallAndLandAsSplats) {
    Ink& ink = inkWithRoomFor(100, 20.0f);
    // No speed or size must not turn into 0/0.
    ink.burst(Vec3(0, 100, 0), 0, 0, 0, 0, 1, kBlue);
    ink.spray(Vec3(0, 100, 0), kRight, kBlue, 0, 0, 0, 0, 0.5, 1, 1.0);
    ink.update(1000);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ink.particle(i).velocity, Vec3(0, -20, 0));
        EXPECT_EQ(ink.particle(i).size, 0.0f);
    }

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
    // The second landing may take the place of the first, pushing it out in turn.
    EXPECT_EQ(ink.fadingSplat(0).colour, kBlue);
    EXPECT_TRUE(ink.fadingSplat(1).colour == kBlue || ink.fadingSplat(1).colour == kGreen);
    // Size 0.5 shrinking by 0.1 a second: gone after 250 ticks, one of which has passed.
    for (int tick = 1; tick < 245; ++tick) ink.update(20);
    EXPECT_EQ(ink.fadingCount(), 2);
    for (int tick = 245; tick < 255; ++tick) ink.update(20);
    EXPECT_EQ(ink.fadingCount(), 0);
    EXPECT_EQ(ink.splatCount(), 3);

    for (int round = 0; round < 20; ++round) {
        dropOnFloor(ink, 5, kGreen);
        EXPECT_LE(ink.splatCount(), 3);
        EXPECT_LE(ink.fadingCount(), 3);
    }
}

TEST(InkTest, NoRoomMeansNoDrops) {
    Ink& ink = inkWithRoomFor(0);
    ink.spray(kAbove, kRight, kBlue, 5, 0, 0.3, 0, 0, 10, 1.0);
    ink.burst(kAbove, 5, 0, 0.3, 0, 10, kBlue);
    dropOnFloor(ink, 10, kBlue);
    EXPECT_EQ(ink.particleCount() + ink.splatCount() + ink.fadingCount(), 0);
}

TEST(InkTest, NegativeMaxSplatsMeansNoRoom) { EXPECT_EQ(inkWithRoomFor(-5).capacity(), 0); }

TEST(InkTest, HugeMaxSplatsIsBounded) {
    const int capacity = inkWithRoomFor(2000000000).capacity();
    EXPECT_TRUE(capacity > 1000 && capacity <= 65536) << capacity;
}

TEST(InkDrawTest, DropsAndSplatsShowInTheirColoursWithoutGlErrors) {
    const GlWindow window(320, 240);
    Ink& ink = inkWithRoomFor(50);
    dropOnFloor(ink, 5, kGreen);
    ink.burst(Vec3(3, 8, -3), 0, 0, 0.6, 0, 5, kBlue);
    ASSERT_EQ(ink.splatCount(), 5);
    ASSERT_EQ(ink.particleCount(), 5);

    // The game's camera, with a texture left bound that is black where untextured shapes
    // sample it: drops drawn through it would come out black.
    TextureManager::instance().load("missing.png", "checkerboard");
    TextureManager::instance().bind("checkerboard");
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 320.0 / 240.0, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
    ink.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int blue = 0;
    int green = 0;
    const std::vector<unsigned char> pixels = window.readBackBuffer();
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        blue += pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 255;
        green += pixels[i] == 0 && pixels[i + 1] == 255 && pixels[i + 2] == 0;
    }
    EXPECT_GT(blue, 20) << "drops in the air face the camera";
    EXPECT_GT(green, 20) << "splats lie on the floor";
}
