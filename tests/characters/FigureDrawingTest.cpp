#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/ReferenceBodies.h"
#include "support/Screens.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

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

// The bosses wear what their cutscenes draw: a gold crown above red eyes, and the eyes
// turn to the eye whichever way the boss faces.
TEST_F(FigureDrawingTest, ABossWearsItsCrownAndShowsItsEyesFacingEitherWay) {
    BodyLists::instance().buildBossLists();
    StickFigModel boss(Color(0.0, 0.0, 0.0, 1.0));
    boss.makeBossSize();
    boss.setLook(BossLook{true, true});
    const auto count = [this](auto wanted) {
        int n = 0;
        const std::vector<unsigned char> shown = window.readBackBuffer();
        for (std::size_t i = 0; i < shown.size(); i += 3) n += wanted(shown[i], shown[i + 1], shown[i + 2]);
        return n;
    };
    const auto red = [](int r, int g, int b) { return r > 200 && g < 60 && b < 60; };
    const auto gold = [](int r, int g, int b) { return r > 150 && g > 100 && b < 80; };
    for (const double turn : {0.0, 180.0}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glTranslated(0.0, 0.0, -3.0);
        glRotated(turn, 0.0, 1.0, 0.0);
        boss.draw();
        glPopMatrix();
        window.saveScreenshot(turn == 0.0 ? "boss-look-right" : "boss-look-left");
        EXPECT_GT(count(red), 20) << "eyes facing " << (turn == 0.0 ? "right" : "left");
        EXPECT_GT(count(gold), 100) << "crown facing " << (turn == 0.0 ? "right" : "left");
    }
}

// A fight as the game shows it at 800 x 600: the bundled body sizes, figures of every
// colour in jittered poses, two of them overlapping, a boss, a toppled corpse without
// head and leg, an armless figure, a stick and a head in hand and on the floor, a head in
// flight, drops in the air and a floor full of splats.
class FightPicture {
public:
    static constexpr int Width = 800;
    static constexpr int Height = 600;

    FightPicture() {
        Settings& settings = Settings::instance();
        settings.setFloat("headRadius", 0.6f);
        settings.setFloat("stickRadius", 0.12f);
        settings.setFloat("bossHeadRadius", 0.9f);
        settings.setFloat("bossStickRadius", 0.2f);
        settings.setInt("maxSplats", 2000);
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_NORMALIZE);
        glDepthFunc(GL_LEQUAL);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 100.0);
        glTranslated(0.0, -10.0, -20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        BodyLists::instance().buildPlayerLists();
        BodyLists::instance().buildBossLists();

        const Color black(0, 0, 0, 1);
        add({0.0, 0.0, 0.3, 1}, {-6.0, 0.0, -2.0}, false).setWeapon(&heldStick);
        add({0.3, 0.0, 0.0, 1}, {-5.4, 0.0, -2.3}, true);
        add({1, 0, 0, 1}, {-1.0, 0.0, -5.0}, false).setWeapon(&heldHead);
        EXPECT_NE(add({0, 0, 1, 1}, {2.0, 0.0, -1.0}, true).detachPart(ArmPart, true), nullptr);
        add({0, 1, 0, 1}, {5.0, 0.0, -6.0}, false);
        add({1, 1, 0, 1}, {9.0, 0.0, -3.0}, true);
        add(black, {3.0, 0.0, -9.0}, false).makeBossSize();
        StickFigModel& corpse = add({0, 0, 1, 1}, {-10.0, 0.0, -5.0}, false);
        EXPECT_NE(corpse.detachPart(HeadPart, false), nullptr);
        EXPECT_NE(corpse.detachPart(LegPart, false), nullptr);
        figures.back().toppled = true;

        const Vec3 lying[] = {{-3.0, 0.12, -1.0}, {7.0, 0.12, -8.0}, {12.0, 0.12, 0.0}};
        for (const Vec3& at : lying) {
            sticks.push_back(std::make_unique<Stick>(black));
            sticks.back()->position = at;
            heads.push_back(std::make_unique<Head>(Color(0, 1, 0, 1)));
            heads.back()->position = at + Vec3(1.5, 0.48, 1.0);
        }
        heads.back()->position = Vec3(0.5, 4.0, -3.0);

        Ink& ink = Ink::instance();
        ink.clear();
        const Color inks[] = {{0, 0, 0.3, 1}, {1, 0, 0, 1}, {0, 0.6, 0, 1}, {0.1, 0.1, 0.1, 1}};
        for (int i = 0; i < 2150; ++i) {
            const bool landing = i < 2000;
            const Vec3 at(jitter(-14, 14), landing ? 0.01 : jitter(0.5, 8.0), jitter(-12, 3));
            ink.spray(at, Vec3(0, -1, 0), inks[i % 4], landing ? 1.0 : 0.0, 0.0, 0.3, 0.15, 0.0, 1, 1.0);
        }
        ink.update(20);
    }

    // The picture drawn through `figure`, `stick`, `head` and `ink` callables.
    template <typename Drawer>
    std::vector<unsigned char> draw(const GlWindow& window, const Drawer& drawer) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4d(0.93, 0.9, 0.8, 1.0);
        glBegin(GL_QUADS);
        glVertex3d(-40, -0.01, -25);
        glVertex3d(40, -0.01, -25);
        glVertex3d(40, -0.01, 5);
        glVertex3d(-40, -0.01, 5);
        glColor4d(0.97, 0.97, 0.95, 1.0);
        glVertex3d(-40, 0, -25);
        glVertex3d(40, 0, -25);
        glVertex3d(40, 50, -25);
        glVertex3d(-40, 50, -25);
        glEnd();
        drawer.ink(Ink::instance());
        for (const Figure& figure : figures) {
            glPushMatrix();
            glTranslated(figure.at.x, figure.at.y, figure.at.z);
            if (figure.facingLeft) {
                glRotated(180.0, 0.0, 1.0, 0.0);
            }
            if (figure.toppled) {
                glTranslated(0.0, 1.0, 0.0);
                glRotated(90.0, 0.0, 0.0, 1.0);
            }
            drawer.figure(*figure.model);
            glPopMatrix();
        }
        for (const auto& stick : sticks) {
            drawer.stick(*stick);
        }
        for (const auto& head : heads) {
            drawer.head(*head);
        }
        return window.readBackBuffer();
    }

private:
    struct Figure {
        std::unique_ptr<StickFigModel> model;
        Vec3 at;
        bool facingLeft;
        bool toppled;
    };

    StickFigModel& add(const Color& colour, const Vec3& at, bool facingLeft) {
        figures.push_back({std::make_unique<StickFigModel>(colour), at, facingLeft, false});
        StickFigModel& model = *figures.back().model;
        Pose pose = model.getPose();
        for (float& angle : pose) {
            angle += static_cast<float>(jitter(-40, 40));
        }
        model.setPose(pose);
        return model;
    }

    double jitter(double low, double high) {
        seed = seed * 1103515245u + 12345u;
        return low + (high - low) * ((seed >> 8) & 0xffff) / 65536.0;
    }

    unsigned seed = 19;
    Stick heldStick{Color(0, 0, 0, 1)};
    Head heldHead{Color(0, 0, 1, 1)};
    std::vector<Figure> figures;
    std::vector<std::unique_ptr<Stick>> sticks;
    std::vector<std::unique_ptr<Head>> heads;
};

struct GameDrawer {
    void figure(const StickFigModel& model) const { model.draw(); }
    void stick(Stick& stick) const { stick.draw(); }
    void head(Head& head) const { head.draw(); }
    void ink(const Ink& ink) const { ink.draw(); }
};

struct FineDrawer {
    const ReferenceBodies& bodies;
    void figure(const StickFigModel& model) const { bodies.drawFigure(model); }
    void stick(const Stick& stick) const { bodies.drawStick(stick); }
    void head(const Head& head) const { bodies.drawHead(head); }
    void ink(const Ink& ink) const { bodies.drawInk(ink); }
};

void savePicture(const std::string& name, int width, int height, const picture::Painter& paint) {
    const std::vector<unsigned char> encoded = picture::png(width, height, paint);
    std::ofstream out(screensDirectory() + "/" + name + ".png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(encoded.data()), static_cast<std::streamsize>(encoded.size()));
}

TEST(FigurePictureTest, BodiesInkSticksAndHeadsLookAsWhenDrawnFromFineSpheresAndCylinders) {
    const GlWindow window(FightPicture::Width, FightPicture::Height);
    FightPicture fight;
    const ReferenceBodies fine;
    const std::vector<unsigned char> before = fight.draw(window, FineDrawer{fine});
    window.saveScreenshot("fight-fine-800x600");
    const std::vector<unsigned char> after = fight.draw(window, GameDrawer{});
    window.saveScreenshot("fight-800x600");

    const int width = FightPicture::Width;
    const int height = FightPicture::Height;
    const auto at = [&](int x, int y) { return static_cast<std::size_t>(height - 1 - y) * width * 3 + x * 3; };
    int differing = 0;
    int inked = 0;
    for (std::size_t i = 0; i < before.size(); i += 3) {
        differing += before[i] != after[i] || before[i + 1] != after[i + 1] || before[i + 2] != after[i + 2];
        inked += before[i] < 200 || before[i + 1] < 200 || before[i + 2] < 200;
    }
    // Where the pictures differ, in magenta over a faded copy of the game's picture.
    savePicture("fight-difference", width, height, [&](int x, int y) -> picture::Rgba {
        const std::size_t i = at(x, y);
        if (before[i] != after[i] || before[i + 1] != after[i + 1] || before[i + 2] != after[i + 2]) {
            return {255, 0, 255, 255};
        }
        const auto fade = [](unsigned char c) { return static_cast<unsigned char>(192 + c / 4); };
        return {fade(after[i]), fade(after[i + 1]), fade(after[i + 2]), 255};
    });
    EXPECT_GT(inked, width * height / 20) << "the fight shows";
    EXPECT_LE(differing, width * height / 200) << differing << " pixels differ";
    std::cout << differing << " of " << width * height << " pixels differ\n";
}

}  // namespace
