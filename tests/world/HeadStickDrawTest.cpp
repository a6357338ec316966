#include <gtest/gtest.h>

#include <GL/gl.h>

#include "core/Game.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

namespace {

const Color kBlue(0.0, 0.0, 0.3, 1.0);

// Every emitted drip makes exactly `count` drops (a chance of 1 or more makes them all),
// so the number of drops counts how often an object bled.
void setDrip(const std::string& effect, double percent, int count) {
    Settings& settings = Settings::instance();
    settings.setFloat(effect + "ParticleSpeed", 1.0f);
    settings.setFloat(effect + "ParticleSize", 0.1f);
    settings.setInt(effect + "ParticleCount", count);
    settings.setFloat(effect + "ParticlePercent", static_cast<float>(percent));
}

class HeadStickDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setInt("maxSplats", 20000);
        settings.setFloat("stickRadius", 0.2f);
        settings.setFloat("headRadius", 0.5f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    int dripsOver(Object& object, int frames) {
        Ink& ink = Ink::instance();
        ink.clear();
        for (int i = 0; i < frames; ++i) {
            object.draw();
        }
        return ink.particleCount();
    }

    TempDataDir dir;
    GlWindow window;
};

TEST_F(HeadStickDrawTest, StickDripsMoreWhenFreshAndSwung) {
    Settings::instance().setInt("swingsPerStick", 4);
    setDrip("stickDrip", 1.0, 1);
    Stick stick(kBlue);

    stick.setSwinging(true);
    EXPECT_NEAR(dripsOver(stick, 1000), 0.8 * 1000, 60);
    stick.setSwinging(false);
    EXPECT_NEAR(dripsOver(stick, 1000), 0.3 * 1000, 60);

    for (int swing = 0; swing < 4; ++swing) {
        stick.setSwinging(true);
        stick.registerHit();
    }
    ASSERT_EQ(stick.swingsLeft(), 0);
    EXPECT_NEAR(dripsOver(stick, 1000), 0.05 * 1000, 30);
}

// A settings file that allows no throws or swings must not turn the drip amount into a
// division by zero: such objects bleed like worn-out ones.
TEST_F(HeadStickDrawTest, NoThrowsOrSwingsAllowedBleedsLikeWornOut) {
    Settings::instance().setInt("throwsPerHead", 0);
    Settings::instance().setInt("swingsPerStick", 0);
    setDrip("headDrip", 1.0, 100);
    setDrip("stickDrip", 1.0, 1);
    Head head(kBlue);
    Stick stick(kBlue);

    EXPECT_LT(dripsOver(head, 1), 30);
    EXPECT_NEAR(dripsOver(stick, 1000), 0.05 * 1000, 30);
}

}  // namespace
