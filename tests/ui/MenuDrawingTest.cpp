// A still picture of a menu shows which entry is chosen.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "core/Game.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/MainMenu.h"

namespace {

// Every entry is the same grey square with a clear margin: the chosen one shows it
// whole, the others dimmed, and the glow round the chosen one lands in the margin.
TEST(MenuDrawingTest, TheChosenEntryIsBrightAndGlowsTheOthersAreDimmed) {
    const TempDataDir dir;
    const GlWindow window(800, 600);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    const std::vector<unsigned char> entry = picture::png(32, 16, [](int x, int y) {
        const bool inside = x >= 4 && x < 28 && y >= 3 && y < 13;
        return inside ? picture::Rgba{160, 160, 160, 255} : picture::Rgba{0, 0, 0, 0};
    });
    dir.writeBytes("images/entry.png", entry.data(), entry.size());
    for (const char* name : {"mainmenu_1p", "mainmenu_2p", "mainmenu_credits", "mainmenu_quit"}) {
        TextureManager::instance().load("entry.png", name);
    }
    Game::instance();
    MainMenu menu;
    menu.buildItems();
    menu.selectNext();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    menu.draw();
    window.saveScreenshot("menu-chosen");

    int full = 0, dimmed = 0, glow = 0;
    const std::vector<unsigned char> pixels = window.readBackBuffer();
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
        full += r > 150 && r < 170 && g > 150 && g < 170 && b > 150 && b < 170;
        dimmed += r > 85 && r < 105 && g > 85 && g < 105 && b > 85 && b < 105;
        glow += r > 230 && g > 170 && g < 220 && b < 60;
    }
    EXPECT_GT(full, 1000) << "the chosen entry is not drawn whole";
    EXPECT_GT(dimmed, 3 * 1000) << "the other three are not dimmed";
    EXPECT_GT(glow, 200) << "no glow round the chosen entry";
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE) << "the glow left the texture environment changed";
}

}  // namespace
