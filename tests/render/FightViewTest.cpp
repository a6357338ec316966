// What makes a fight readable, as it reaches a real window: shadows where figures
// stand, the player's ring on the darkest page, and the boss's bar.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/FightView.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "render/BossBar.h"
#include "render/PlayerMarker.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"

namespace {

using picture::Rgba;

struct Pixel {
    int r, g, b;
    int brightness() const { return r + g + b; }
};

// Every printable glyph of the font lights its whole cell, so written text shows as
// filled blocks in whatever colour it is drawn in.
Rgba fontPixel(int x, int y) {
    const int code = (y / 16) * 16 + x / 16;
    return code > ' ' && code <= '~' ? Rgba{20, 20, 60, 255} : Rgba{0, 0, 0, 0};
}

class FightViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setInt("shadows", 1);
        settings.setFloat("stickRadius", 0.2f);
        settings.setFloat("headRadius", 0.6f);
        settings.setFloat("bossStickRadius", 0.3f);
        settings.setFloat("bossHeadRadius", 0.9f);
        settings.setFloat("z_offset", 25.0f);
        game.reshape(window.width(), window.height());
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The pixel where a world point lands, with the view at the level's scroll.
    Pixel at(const Vec3& world) {
        GLdouble modelView[16];
        GLdouble projection[16];
        GLint viewport[4];
        glPushMatrix();
        glTranslated(-game.getLevel().scroll(), 0.0, 0.0);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble x = 0, y = 0, z = 0;
        gluProject(world.x, world.y, world.z, modelView, projection, viewport, &x, &y, &z);
        return atScreen(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    }
    // The brightest pixel within two of where a world point lands.
    int brightestNear(const Vec3& world) {
        int best = 0;
        for (double dx = -0.1; dx <= 0.1; dx += 0.05) {
            for (double dz = -0.1; dz <= 0.1; dz += 0.05) best = std::max(best, at(world + Vec3(dx, 0, dz)).brightness());
        }
        return best;
    }
    Pixel atScreen(int x, int y) {
        if (pixels.empty()) pixels = window.readBackBuffer();
        const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * window.width() + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // The pixel at a point in normalised device coordinates.
    Pixel atDevice(double x, double y) {
        return atScreen(static_cast<int>((x + 1.0) / 2.0 * window.width()),
                        static_cast<int>((y + 1.0) / 2.0 * window.height()));
    }
    void drawFloorLayer() {
        glPushMatrix();
        glTranslated(-game.getLevel().scroll(), 0.0, 0.0);
        game.getFightView().drawFloor(game);
        glPopMatrix();
        pixels.clear();
    }
    void loadPicture(const std::string& name, const std::vector<unsigned char>& png) {
        dir.writeBytes("images/" + name + ".png", png.data(), png.size());
        TextureManager::instance().load(name + ".png", name);
    }

    TempDataDir dir;
    GlWindow window{800, 600};
    Game& game = Game::instance();
    std::vector<unsigned char> pixels;
};

TEST_F(FightViewTest, AShadowLiesUnderEachFigureAtItsOwnDepth) {
    const Vec3 front(-4.0, 0.0, 0.0), back(4.0, 0.0, -6.0);
    for (const Vec3& where : {front, back}) {
        auto enemy = std::make_unique<Enemy>(0);
        enemy->position = where;
        game.addObject(std::move(enemy));
    }
    drawFloorLayer();
    window.saveScreenshot("fight-shadows");
    for (const Vec3& where : {front, back}) {
        EXPECT_LT(at(where).brightness(), 3 * 200) << "no shadow under the figure at z " << where.z;
        EXPECT_EQ(at(where + Vec3(2.0, 0.0, 0.0)).brightness(), 3 * 255) << "a shadow spills far to the side";
    }
    // Swapped depths land where no figure stands.
    EXPECT_EQ(at(Vec3(front.x, 0.0, back.z)).brightness(), 3 * 255);
    EXPECT_EQ(at(Vec3(back.x, 0.0, front.z)).brightness(), 3 * 255);

    Settings::instance().setInt("shadows", 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFloorLayer();
    EXPECT_EQ(at(front).brightness(), 3 * 255) << "shadows drawn with the setting off";
}

// The cover's ink blots are the darkest floor of the game: the ring must still read there.
TEST_F(FightViewTest, ThePlayersRingShowsInTheirColourOnTheCoversInkBlot) {
    std::filesystem::create_directories("images");
    std::filesystem::copy_file(std::string(MB_DATA_DIR) + "/images/level/page_cover.jpg", "images/page_cover.jpg");
    TextureManager::instance().load("page_cover.jpg", "page_cover");
    dir.write("levels/cover.dat", "background page_cover\nend 1000\n");
    game.startGame(true, false, "cover.dat");
    Player* player = game.getPlayer1();
    // On the big blot at the floor's front left.
    player->position = Vec3(12.0, 0.0, -1.5);
    game.getLevel().drawFloor();
    pixels.clear();
    // The band's middle, and the white rim round it, in front of the feet.
    const Vec3 ringFront = player->position + Vec3(0.0, 0.0, PlayerMarker::RingHalfDepth * 0.62);
    const Vec3 rimFront = player->position + Vec3(0.0, 0.0, PlayerMarker::RingHalfDepth * 0.93);
    ASSERT_LT(at(ringFront).brightness(), 3 * 110) << "the test no longer stands the player on ink";

    drawFloorLayer();
    window.saveScreenshot("fight-ring-on-cover");
    const Color ring = PlayerMarker::ringColour(Game::Player1Colour);
    const Pixel band = at(ringFront);
    EXPECT_NEAR(band.r, ring.r * 255, 6);
    EXPECT_NEAR(band.g, ring.g * 255, 6);
    EXPECT_NEAR(band.b, ring.b * 255, 6);
    EXPECT_GT(brightestNear(rimFront), 3 * 245) << "no white rim round the ring";
}

TEST_F(FightViewTest, TheBossBarShrinksAsTheBossIsHurtAndCarriesItsNameFromTheLevel) {
    loadPicture("font", picture::png(256, 256, fontPixel));
    dir.write("levels/named.dat", "boss crown the Test Boss\nenemy 0 1 -5 -3 4 1\nend 1000\n");
    dir.write("levels/unnamed.dat", "enemy 0 1 -5 -3 4 1\nend 1000\n");
    const BossBar::Rect frame = BossBar::frame();
    const double middle = (frame.bottom + frame.top) / 2.0;
    const auto barAt = [&](double share) { return atDevice(BossBar::fill(share).right, middle); };

    game.startGame(true, false, "named.dat");
    game.update(20);
    Boss* boss = nullptr;
    for (const auto& object : game.getWorld()) {
        if (auto* b = dynamic_cast<Boss*>(object.get())) boss = b;
    }
    ASSERT_NE(boss, nullptr);
    ASSERT_TRUE(game.getFightView().bossBarShown());
    EXPECT_EQ(game.getFightView().bossName(), "the Test Boss");
    game.getFightView().drawOverlay();
    window.saveScreenshot("fight-boss-bar");
    const Pixel full = barAt(0.95);
    EXPECT_GT(full.r, 150);
    EXPECT_LT(full.g, 60);
    // The name is written across the bar's middle in white.
    EXPECT_EQ(atDevice(0.0, middle).brightness(), 3 * 255);

    boss->takeDamage(boss->getMaxHealth() / 2.0f);
    for (int tick = 0; tick < 150; ++tick) game.update(20);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game.getFightView().drawOverlay();
    pixels.clear();
    EXPECT_LT(barAt(0.75).r, 100) << "the bar did not shrink with the boss's health";
    EXPECT_GT(barAt(0.25).r, 150);

    game.startGame(true, false, "unnamed.dat");
    game.update(20);
    ASSERT_TRUE(game.getFightView().bossBarShown());
    EXPECT_EQ(game.getFightView().bossName(), "");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game.getFightView().drawOverlay();
    pixels.clear();
    EXPECT_LT(atDevice(0.0, middle).brightness(), 3 * 200) << "a name written for a boss without one";
}

}  // namespace
