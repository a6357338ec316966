#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "world/Head.h"

namespace {

constexpr Color Blue{0.1, 0.2, 0.8, 1.0};
constexpr Color White{1.0, 1.0, 1.0, 1.0};
constexpr double Cos30 = 0.8660254037844387;
constexpr double Sin30 = 0.5;
// Height of a man's chest centre above his feet: a shin and a thigh, then 0.9 of a torso.
constexpr double Centre = 1.5 + 2.4 * 0.9;

class FigureDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("stickRadius", 0.2f);
        settings.setFloat("headRadius", 0.6f);
        settings.setFloat("bossStickRadius", 0.3f);
        settings.setFloat("bossHeadRadius", 0.9f);
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
    static StickFigModel& tPose(StickFigModel& model) {
        Pose pose{};
        pose[4] = 90.0f;
        pose[5] = -90.0f;
        model.setPose(pose);
        return model;
    }

    static void drawAt(const StickFigModel& model, const Vec3& at) {
        glPushMatrix();
        glTranslated(at.x, at.y, at.z);
        model.draw();
        glPopMatrix();
    }

    // A point of a T-posed figure standing at `at`, turned 30 degrees about y: `across`
    // along its arms (arm 1 is positive), `up` above its feet.
    static Vec3 onFigure(const Vec3& at, double across, double up) {
        return {at.x + across * Cos30, at.y + up, at.z - across * Sin30};
    }

    // True when some pixel within two of where `world` projects has `colour`.
    bool shows(const Vec3& world, const Color& colour) {
        if (pixels.empty()) pixels = window.readBackBuffer();
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
                if (px < 0 || py < 0 || px >= window.width() || py >= window.height()) continue;
                const unsigned char* p = &pixels[(static_cast<std::size_t>(py) * window.width() + px) * 3];
                if (std::abs(p[0] - colour.r * 255) < 3 && std::abs(p[1] - colour.g * 255) < 3 &&
                    std::abs(p[2] - colour.b * 255) < 3) {
                    return true;
                }
            }
        }
        return false;
    }

    GlWindow window{640, 480};
    std::vector<unsigned char> pixels;
};

TEST_F(FigureDrawingTest, FiguresStandInTheirColourWithoutTornOffPartsAndABossIsTaller) {
    BodyLists::instance().buildBossLists();
    StickFigModel armless(Blue);
    ASSERT_NE(tPose(armless).detachPart(ArmPart, true), nullptr);
    StickFigModel headless(Blue);
    ASSERT_NE(dynamic_cast<Head*>(tPose(headless).detachPart(HeadPart, false).get()), nullptr);
    const Color purple{0.5, 0.0, 0.5, 1.0};
    StickFigModel boss(purple);
    boss.makeBossSize();
    const Vec3 left{-7.0, 0.0, -2.0};
    const Vec3 middle{0.0, 0.0, -3.0};
    const Vec3 right{7.0, 0.0, -2.0};
    drawAt(armless, left);
    drawAt(tPose(boss), middle);
    drawAt(headless, right);
    window.saveScreenshot("figures");

    EXPECT_TRUE(shows(onFigure(left, 0.0, Centre), Blue)) << "torso";
    EXPECT_TRUE(shows(onFigure(left, 0.0, Centre + 1.5 + 0.6 / 5), Blue)) << "head";
    EXPECT_TRUE(shows(onFigure(left, -1.8, Centre + 0.6), Blue)) << "forearm 2";
    EXPECT_TRUE(shows(onFigure(left, 0.0, Centre - 1.5 - 0.6), Blue)) << "thighs";
    EXPECT_TRUE(shows(onFigure(left, 0.0, 0.5), Blue)) << "shins reach the floor";
    EXPECT_TRUE(shows(onFigure(left, 0.0, Centre + 2.6), White)) << "above the head";
    EXPECT_TRUE(shows(onFigure(left, -3.2, Centre + 0.6), White)) << "past the hand";
    EXPECT_TRUE(shows(onFigure(left, 1.2, Centre + 0.6), White)) << "elbow 1 is gone";
    EXPECT_TRUE(shows(onFigure(left, 1.8, Centre + 0.6), White)) << "forearm 1 is gone";
    EXPECT_TRUE(shows(onFigure(right, 0.0, Centre), Blue)) << "the torso stays";
    EXPECT_TRUE(shows(onFigure(right, 0.0, Centre + 1.5 + 0.6 / 5 + 0.4), White)) << "no head";

    // A boss stands half again as tall: 1.5 times every bone and radius.
    const double bossCentre = 4.5 / 2 + 1.8 * 2 * 0.9;
    EXPECT_TRUE(shows(onFigure(middle, 0.0, bossCentre + 2.25 + 0.9 / 5), purple)) << "boss head";
    EXPECT_TRUE(shows(onFigure(middle, 2.7, bossCentre + 0.9), purple)) << "boss forearm 1";
    EXPECT_TRUE(shows(onFigure(middle, 0.0, 1.0), purple)) << "boss shins";
    EXPECT_TRUE(shows(onFigure(middle, 0.0, Centre + 2.6), purple)) << "boss torso above a man's head";
}

}  // namespace
