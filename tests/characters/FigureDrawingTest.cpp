#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "characters/StickFigure.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

namespace {

constexpr Color Blue{0.1, 0.2, 0.8, 1.0};
constexpr double Cos30 = 0.8660254037844387;
constexpr double Sin30 = 0.5;

// Where a drawn object's origin ended up, in world units (the camera sits in the
// projection, so the model-view holds world positions).
Vec3 modelViewOrigin() {
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    return {m[12] / m[15], m[13] / m[15], m[14] / m[15]};
}

// Records each draw and then paints with a colour of its own, as real weapons do.
template <class Base>
class Spy : public Base {
public:
    using Base::Base;
    void draw() override {
        origins.push_back(modelViewOrigin());
        glColor3d(1.0, 0.0, 0.0);
    }
    std::vector<Vec3> origins;
};

class FigureDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("stickRadius", 0.2f);
        settings.setFloat("headRadius", 0.6f);
        settings.setFloat("bossStickRadius", 0.3f);
        settings.setFloat("bossHeadRadius", 0.9f);
        settings.setInt("dripTime", 0);

        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, static_cast<double>(window.width()) / window.height(), 1.0, 100.0);
        glTranslated(0.0, -10.0, -20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        BodyLists::instance().buildPlayerLists();
    }

    // Arms straight out to the sides, everything else straight.
    static void tPose(StickFigModel& model) {
        Pose pose{};
        pose[4] = 90.0f;
        pose[5] = -90.0f;
        model.setPose(pose);
    }

    static void drawAt(const StickFigModel& model, const Vec3& at) {
        glPushMatrix();
        glTranslated(at.x, at.y, at.z);
        model.draw();
        glPopMatrix();
    }

    // A point of a T-posed figure standing at `at`: `across` along its arms (arm 1 is
    // positive), `up` above its feet. The figure is turned 30 degrees about y.
    static Vec3 onFigure(const Vec3& at, double across, double up) {
        return {at.x + across * Cos30, at.y + up, at.z - across * Sin30};
    }

    // True when some pixel within two of where `world` projects has `colour`.
    bool shows(const Vec3& world, const Color& colour) {
        if (pixels.empty()) {
            pixels = window.readBackBuffer();
        }
        GLdouble modelView[16];
        GLdouble projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble x = 0, y = 0, z = 0;
        gluProject(world.x, world.y, world.z, modelView, projection, viewport, &x, &y, &z);
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const int px = static_cast<int>(std::lround(x)) + dx;
                const int py = static_cast<int>(std::lround(y)) + dy;
                if (px < 0 || py < 0 || px >= window.width() || py >= window.height()) {
                    continue;
                }
                const unsigned char* p =
                    &pixels[(static_cast<std::size_t>(py) * window.width() + px) * 3];
                if (std::abs(p[0] - colour.r * 255) < 3 && std::abs(p[1] - colour.g * 255) < 3 &&
                    std::abs(p[2] - colour.b * 255) < 3) {
                    return true;
                }
            }
        }
        return false;
    }

    // Keeps the frame for a person to look at.
    void save(const std::string& name) const { window.saveScreenshot(name); }

    GlWindow window{640, 480};
    std::vector<unsigned char> pixels;
    const Color white{1.0, 1.0, 1.0, 1.0};
};

TEST_F(FigureDrawingTest, AFigureStandsInItsColourOnItsFeet) {
    StickFigModel model(Blue);
    tPose(model);
    const Vec3 at{0.0, 0.0, -2.0};
    drawAt(model, at);
    drawAt(StickFigModel(Blue), {6.0, 0.0, -2.0});
    save("figure-tpose");

    const double centre = 1.5 + 2.4 * 0.9;
    EXPECT_TRUE(shows(onFigure(at, 0.0, centre), Blue)) << "torso";
    EXPECT_TRUE(shows(onFigure(at, 0.0, centre + 1.5 + 0.6 / 5), Blue)) << "head";
    EXPECT_TRUE(shows(onFigure(at, 1.8, centre + 0.6), Blue)) << "forearm 1";
    EXPECT_TRUE(shows(onFigure(at, -1.8, centre + 0.6), Blue)) << "forearm 2";
    EXPECT_TRUE(shows(onFigure(at, 0.0, centre - 1.5 - 0.6), Blue)) << "thighs";
    EXPECT_TRUE(shows(onFigure(at, 0.0, 0.5), Blue)) << "shins reach the floor";
    EXPECT_TRUE(shows(onFigure(at, 0.0, centre + 3.0), white)) << "above the head";
    EXPECT_TRUE(shows(onFigure(at, 3.2, centre + 0.6), white)) << "past the hand";
}

TEST_F(FigureDrawingTest, TornOffPartsLeaveNothingBehind) {
    StickFigModel armless(Blue);
    tPose(armless);
    ASSERT_NE(armless.detachPart(ArmPart, true), nullptr);
    StickFigModel headless(Blue);
    tPose(headless);
    ASSERT_NE(dynamic_cast<Head*>(headless.detachPart(HeadPart, false).get()), nullptr);

    const Vec3 left{-4.0, 0.0, -2.0};
    const Vec3 right{4.0, 0.0, -2.0};
    drawAt(armless, left);
    drawAt(headless, right);
    save("figure-torn");

    const double centre = 1.5 + 2.4 * 0.9;
    EXPECT_TRUE(shows(onFigure(left, 0.0, centre + 0.6), Blue)) << "the shoulder ball stays";
    EXPECT_TRUE(shows(onFigure(left, -1.8, centre + 0.6), Blue)) << "arm 2 stays";
    EXPECT_TRUE(shows(onFigure(left, 1.2, centre + 0.6), white)) << "elbow 1 is gone";
    EXPECT_TRUE(shows(onFigure(left, 1.8, centre + 0.6), white)) << "forearm 1 is gone";
    EXPECT_TRUE(shows(onFigure(right, 0.0, centre + 1.5 + 0.6 / 5 + 0.4), white)) << "no head";
    EXPECT_TRUE(shows(onFigure(right, 0.0, centre), Blue)) << "the torso stays";
}

TEST_F(FigureDrawingTest, ABossStandsHalfAgainAsTall) {
    BodyLists::instance().buildBossLists();
    const Color purple{0.5, 0.0, 0.5, 1.0};
    StickFigModel boss(purple);
    boss.makeBossSize();
    tPose(boss);
    StickFigModel man(Blue);
    tPose(man);

    const Vec3 bossAt{3.0, 0.0, -3.0};
    const Vec3 manAt{-4.0, 0.0, -3.0};
    drawAt(boss, bossAt);
    drawAt(man, manAt);
    save("figure-boss");

    const double bossCentre = 4.5 / 2 + 1.8 * 2 * 0.9;
    const double manCentre = 1.5 + 2.4 * 0.9;
    EXPECT_TRUE(shows(onFigure(bossAt, 0.0, bossCentre + 2.25 + 0.9 / 5), purple)) << "head";
    EXPECT_TRUE(shows(onFigure(bossAt, 2.7, bossCentre + 0.9), purple)) << "forearm 1";
    EXPECT_TRUE(shows(onFigure(bossAt, 0.0, 1.0), purple)) << "shins";
    EXPECT_TRUE(shows(onFigure(bossAt, 0.0, manCentre + 2.6), purple)) << "still torso there";
    EXPECT_TRUE(shows(onFigure(manAt, 0.0, manCentre + 2.6), white)) << "above a man's head";
}

TEST_F(FigureDrawingTest, AStickIsHeldInHandAndTheBodyKeepsItsColour) {
    StickFigModel model(Blue);
    tPose(model);
    Spy<Stick> stick(Blue);
    model.setWeapon(&stick);
    const Vec3 at{1.0, 0.0, -2.0};
    drawAt(model, at);

    ASSERT_EQ(stick.origins.size(), 1u);
    const double centre = 1.5 + 2.4 * 0.9;
    const Vec3 expected = onFigure(at, -2.4, centre + 0.6 + 1.2);
    EXPECT_NEAR(stick.origins[0].x, expected.x, 1e-4);
    EXPECT_NEAR(stick.origins[0].y, expected.y, 1e-4);
    EXPECT_NEAR(stick.origins[0].z, expected.z, 1e-4);
    EXPECT_TRUE(shows(onFigure(at, 1.8, centre + 0.6), Blue)) << "arm 1 after the stick";
    EXPECT_TRUE(shows(onFigure(at, 0.0, centre + 1.5 + 0.6 / 5), Blue)) << "head after it";

    model.detachPart(ArmPart, false);
    model.detachPart(ArmPart, false);
    drawAt(model, at);
    EXPECT_EQ(stick.origins.size(), 1u) << "no hand, no stick";
}

TEST_F(FigureDrawingTest, AHeadIsHeldAtTheHandAndABazookaOnTheShoulder) {
    StickFigModel model(Blue);
    tPose(model);
    Spy<Head> head(Blue);
    model.setWeapon(&head);
    const Vec3 at{0.0, 0.0, -2.0};
    drawAt(model, at);
    ASSERT_EQ(head.origins.size(), 1u);
    const Vec3 hand = onFigure(at, -2.4, 1.5 + 2.4 * 0.9 + 0.6);
    EXPECT_NEAR(head.origins[0].x, hand.x, 1e-4);
    EXPECT_NEAR(head.origins[0].y, hand.y, 1e-4);

    testing::internal::CaptureStderr();
    Spy<StickFigure> corpse(Blue);
    testing::internal::GetCapturedStderr();
    model.clearWeapon();
    model.setWeapon(&corpse);
    drawAt(model, at);
    EXPECT_EQ(corpse.origins.size(), 1u);
    EXPECT_EQ(head.origins.size(), 1u);

    model.detachPart(HeadPart, false);
    drawAt(model, at);
    EXPECT_EQ(corpse.origins.size(), 1u) << "no head, no bazooka";
}

TEST_F(FigureDrawingTest, StumpsSpurtInTheFigureColourAwayFromTheBody) {
    TempDataDir data;
    Settings& settings = Settings::instance();
    settings.setInt("dripTime", 1000);
    settings.setInt("maxSplats", 100);
    settings.setInt("limbParticleCount", 4);
    settings.setFloat("limbParticlePercent", 1.0f);
    settings.setFloat("limbParticleSpeed", 5.0f);
    settings.setFloat("limbParticleSize", 0.1f);
    const Ink& ink = Ink::instance();

    StickFigModel headless(Blue);
    tPose(headless);
    headless.detachPart(HeadPart, false);
    const Vec3 at{2.0, 0.0, -3.0};
    testing::internal::CaptureStderr();
    drawAt(headless, at);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(ink.particleCount(), 4);
    for (int i = 0; i < ink.particleCount(); ++i) {
        const InkParticle& drop = ink.particle(i);
        EXPECT_NEAR(drop.position.x, at.x, 1e-4);
        EXPECT_NEAR(drop.position.y, 1.5 + 2.4 * 0.9 + 1.5 + 0.6 / 5, 1e-4) << "from the neck";
        EXPECT_NEAR(drop.velocity.x, 0.0, 1e-6);
        EXPECT_GT(drop.velocity.y, 0.0) << "upwards";
        EXPECT_EQ(drop.colour, Blue);
    }

    for (int tick = 0; tick < 50; ++tick) {
        headless.update(20);
    }
    drawAt(headless, at);
    EXPECT_EQ(ink.particleCount(), 4) << "a dry stump sprays nothing";

    StickFigModel armless(Blue);
    tPose(armless);
    armless.detachPart(ArmPart, true);
    drawAt(armless, at);
    ASSERT_EQ(ink.particleCount(), 8);
    const Vec3 direction = ink.particle(7).velocity.normalized();
    EXPECT_NEAR(direction.x, Cos30, 1e-6) << "out of the shoulder, sideways";
    EXPECT_NEAR(direction.z, -Sin30, 1e-6);
}

}  // namespace
