#include <gtest/gtest.h>

#include <GL/gl.h>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

// Frames drawn between two ticks: a figure shown part way between where the tick found it
// and where it left it, and a world that stands still shown still whatever the blend.
namespace {

class FrameBlendTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("z_offset", 25.0f);
        settings.setFloat("headRadius", 1.0f);
        settings.setFloat("stickRadius", 0.3f);
        const std::vector<unsigned char> wall = picture::solidPng(8, 8, {230, 230, 230, 255});
        dir.writeBytes("images/wall.png", wall.data(), wall.size());
        dir.write("textures.dat", "wall.png background\n");
        dir.write("levels/plain.dat", "end 1000\n");
        game.init();
        game.reshape(window.width(), window.height());
        game.clearBackground();
        game.closeMenu();
        game.startGame(true, false, "plain.dat");
    }

    // The mean x of the player's dark blue in the lower half of the picture (the health
    // bar above shares its colour).
    double playerX(double blend) {
        game.drawPicture(blend);
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        double sum = 0.0;
        int count = 0;
        for (int y = 0; y < window.height() / 2; ++y) {
            for (int x = 0; x < window.width(); ++x) {
                const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * window.width() + x) * 3];
                if (p[0] < 40 && p[1] < 40 && p[2] > 50 && p[2] < 110) sum += x, ++count;
            }
        }
        EXPECT_GT(count, 50) << "the player is in the picture";
        return count > 0 ? sum / count : 0.0;
    }

    GlWindow window{640, 480};
    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(FrameBlendTest, AFigureIsDrawnPartWayBetweenTwoTicks) {
    game.update(20);
    game.getPlayer1()->position.x += 3.0;  // as if the tick had walked it 3 units
    const double before = playerX(0.0);
    const double after = playerX(1.0);
    EXPECT_NEAR(after - before, 62.0, 4.0);
    EXPECT_NEAR(playerX(0.5), (before + after) / 2.0, 1.5);
}

TEST_F(FrameBlendTest, AWorldStandingStillIsDrawnAsItIsWhateverTheBlend) {
    game.update(20);
    game.getPlayer1()->position.x += 3.0;
    dir.write("cutscenes/blank.dat", "frame nothing 20 1000 1\n");
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(Cutscene::instance().load("cutscenes/blank.dat"));
    ::testing::internal::GetCapturedStdout();
    game.update(20);
    game.update(20);
    ASSERT_EQ(Cutscene::instance().look(), Cutscene::Look::Blank) << "the world shows under the cutscene";
    EXPECT_DOUBLE_EQ(playerX(0.0), playerX(1.0));
}

}  // namespace
