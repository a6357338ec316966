#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>

#include "core/Game.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

// Cutscenes with real textures in a real window: what reaches the screen, and that a
// show's textures go when it does.
namespace {

using picture::Rgba;

const Rgba kRed{255, 0, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

class CutsceneOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        Game::instance();
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        writePicture("red.png", picture::solidPng(8, 8, kRed));
        writePicture("blue.png", picture::solidPng(8, 8, kBlue));
        // Red over the top half, blue below: shows which way up a slide lands.
        writePicture("halves.png", picture::png(8, 8, [](int, int y) { return y < 4 ? kRed : kBlue; }));
    }

    void writePicture(const std::string& name, const std::vector<unsigned char>& bytes) {
        dir.writeBytes("images/" + name, bytes.data(), bytes.size());
    }

    void start(const std::string& contents) {
        dir.write("cutscenes/test.dat", contents);
        ::testing::internal::CaptureStdout();
        show.load("cutscenes/test.dat");
        ::testing::internal::GetCapturedStdout();
    }

    void drawFrame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        show.draw();
    }

    // x, y from the window's lower left, as glReadPixels counts.
    Rgba pixel(int x, int y) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        const std::size_t at = (static_cast<std::size_t>(y) * window.width() + x) * 3;
        return {pixels[at], pixels[at + 1], pixels[at + 2], 255};
    }

    TempDataDir dir;
    GlWindow window;
    Cutscene& show = Cutscene::instance();
    TextureManager& textures = TextureManager::instance();
};

void expectNear(const Rgba& actual, const Rgba& expected) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 3) << "channel " << i;
    }
}

TEST_F(CutsceneOnScreen, TexturesLiveExactlyAsLongAsTheShow) {
    start("picture red red.png\nframe red 20 0 0\nframe blue 20 0 1\npicture blue blue.png\n");
    EXPECT_TRUE(textures.contains("red"));
    EXPECT_TRUE(textures.contains("blue"));
    EXPECT_EQ(show.loadedTextureNames(), (std::vector<std::string>{"red", "blue"}));

    for (int i = 0; i < 10 && show.isPlaying(); ++i) {
        show.update(20);
    }
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(textures.contains("red"));
    EXPECT_FALSE(textures.contains("blue"));
    EXPECT_TRUE(show.loadedTextureNames().empty());
}

TEST_F(CutsceneOnScreen, SkipDeletesTheTexturesOfEveryFileLoadedSinceTheLastEnd) {
    start("picture red red.png frame red 2000 0 0");
    start("picture blue blue.png image blue blue.png frame blue 2000 0 0");
    EXPECT_EQ(show.loadedTextureNames(), (std::vector<std::string>{"red", "blue", "blue"}));
    show.skip();
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(textures.contains("red"));
    EXPECT_FALSE(textures.contains("blue"));
}

TEST_F(CutsceneOnScreen, FileWithTexturesButNoSlideReleasesThemAtOnce) {
    start("picture red red.png picture blue blue.png");
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(textures.contains("red"));
    EXPECT_FALSE(textures.contains("blue"));
}

TEST_F(CutsceneOnScreen, SlidesAppearUprightAndFillTheWindow) {
    start("picture halves halves.png frame halves 100 0 0");
    drawFrame();
    expectNear(pixel(2, window.height() - 3), kRed);
    expectNear(pixel(window.width() - 3, window.height() - 3), kRed);
    expectNear(pixel(2, 2), kBlue);
    expectNear(pixel(window.width() - 3, 2), kBlue);
}

TEST_F(CutsceneOnScreen, CrossFadeMixesTheSlidesAndBlankShowsTheSceneBehind) {
    start("picture red red.png picture blue blue.png frame red 20 1000 0 frame blue 20 40 1");
    show.update(20);
    for (int i = 0; i < 25; ++i) {
        show.update(20);
    }
    ASSERT_FLOAT_EQ(show.fadeAlpha(), 0.5f);
    drawFrame();
    expectNear(pixel(320, 240), {128, 0, 127, 255});

    for (int i = 0; i < 26; ++i) {
        show.update(20);
    }
    ASSERT_EQ(show.currentFrame().texture, "blue");
    drawFrame();
    expectNear(pixel(320, 240), kBlue);

    show.update(20);
    ASSERT_EQ(show.look(), Cutscene::Look::Blank);
    drawFrame();
    expectNear(pixel(320, 240), {255, 255, 255, 255});
}

std::vector<GLdouble> matrices() {
    std::vector<GLdouble> both(32);
    glGetDoublev(GL_PROJECTION_MATRIX, both.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, both.data() + 16);
    return both;
}

TEST_F(CutsceneOnScreen, DrawingLeavesTheMatricesAsItFoundThem) {
    start("picture red red.png frame red 100 0 0");
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1, 2, 3);
    const std::vector<GLdouble> before = matrices();
    drawFrame();
    EXPECT_EQ(matrices(), before);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

// Kept for a person to look at.
TEST_F(CutsceneOnScreen, ScreenshotMidCrossFade) {
    // A sunset of stripes fading into a night sky with a moon in its upper left.
    writePicture("sunset.png", picture::png(64, 48, [](int x, int y) -> Rgba {
                     if (y < 16) return {255, 160, 40, 255};
                     if (y < 32) return {230, 60, 60, 255};
                     return (x / 8) % 2 == 0 ? Rgba{60, 140, 60, 255} : Rgba{40, 100, 40, 255};
                 }));
    writePicture("night.png", picture::png(64, 48, [](int x, int y) -> Rgba {
                     const int dx = x - 14;
                     const int dy = y - 10;
                     if (dx * dx + dy * dy < 36) return {250, 250, 210, 255};
                     return y < 40 ? Rgba{10, 10, 60, 255} : Rgba{20, 20, 20, 255};
                 }));
    start("picture sunset sunset.png picture night night.png\n"
          "frame sunset 20 1000 0\nframe night 1000 0 0\n");
    for (int i = 0; i < 1 + 15; ++i) {
        show.update(20);
    }
    ASSERT_NEAR(show.fadeAlpha(), 0.7f, 1e-6);
    drawFrame();
    window.saveScreenshot("cutscene-crossfade");
}

}  // namespace
