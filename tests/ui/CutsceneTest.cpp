#include <gtest/gtest.h>

#include <GL/gl.h>

#include "core/Game.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

// Slide timing and file reading run without a window: slides name textures that no
// entry loads. The on-screen tests load real pictures into a real window.
namespace {

using picture::Rgba;

class CutsceneTiming : public ::testing::Test {
protected:
    void SetUp() override { Game::instance(); }

    // Loads the file and answers what the load printed.
    std::string start(const std::string& contents) {
        dir.write("cutscenes/test.dat", contents);
        ::testing::internal::CaptureStdout();
        show.load("cutscenes/test.dat");
        return ::testing::internal::GetCapturedStdout();
    }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) show.update(20);
    }

    TempDataDir dir;
    Cutscene& show = Cutscene::instance();
};

class CutsceneOnScreen : public CutsceneTiming {
protected:
    void SetUp() override {
        CutsceneTiming::SetUp();
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        writePicture("red.png", picture::solidPng(8, 8, {255, 0, 0, 255}));
        writePicture("blue.png", picture::solidPng(8, 8, {0, 0, 255, 255}));
    }

    void writePicture(const std::string& name, const std::vector<unsigned char>& bytes) {
        dir.writeBytes("images/" + name, bytes.data(), bytes.size());
    }

    // x, y from the window's lower left, as glReadPixels counts.
    void expectPixel(int x, int y, const Rgba& expected) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        const unsigned char* pixel = &pixels[(static_cast<std::size_t>(y) * window.width() + x) * 3];
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(pixel[i], expected[i], 3) << "channel " << i << " at " << x << "," << y;
    }

    GlWindow window;
    TextureManager& textures = TextureManager::instance();
};

std::vector<GLdouble> matrices() {
    std::vector<GLdouble> both(32);
    glGetDoublev(GL_PROJECTION_MATRIX, both.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, both.data() + 16);
    return both;
}

}  // namespace

TEST_F(CutsceneTiming, CrossFadeHoldsThenFadesThenAdvances) {
    EXPECT_EQ(start("frame first 2000 1000 0\nframe second 400 0 2\n"), "Loaded cutscenes/test.dat\n");
    EXPECT_EQ(show.nextFrame().texture, "second");
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(show.look(), Cutscene::Look::Opaque) << "tick " << i;
        tick();
    }
    EXPECT_EQ(show.look(), Cutscene::Look::CrossFade);
    EXPECT_FLOAT_EQ(show.fadeAlpha(), 1.0f);
    for (int i = 1; i <= 50; ++i) {
        tick();
        ASSERT_EQ(show.currentFrame().texture, "first") << "fade tick " << i;
        ASSERT_NEAR(show.fadeAlpha(), 1.0f - 0.02f * i, 1e-6) << "fade tick " << i;
    }
    tick();
    EXPECT_EQ(show.currentFrame().texture, "second");
    EXPECT_EQ(show.currentFrame().hold, 400);
    EXPECT_TRUE(show.nextFrame().texture.empty());
}

// A hold that is no whole number of ticks ends once its time has passed; only a
// negative hold waits for a key, and only where someone can press one.
TEST_F(CutsceneTiming, OnlyANegativeHoldWaitsForAKey) {
    start("frame odd 1010 0 0 frame waits -20 40 0 frame last 20 0 0");
    tick(50);
    EXPECT_EQ(show.currentFrame().hold, 10);
    tick();
    EXPECT_EQ(show.currentFrame().hold, 0);
    tick();
    EXPECT_EQ(show.currentFrame().texture, "waits");
    tick(500);
    EXPECT_EQ(show.currentFrame().texture, "waits");
    EXPECT_EQ(show.look(), Cutscene::Look::CrossFade);
    show.skip();
    EXPECT_FALSE(show.isPlaying());
    EXPECT_TRUE(show.remainingFrames().empty());

    dir.write("cutscenes/test.dat", "frame waits -20 40 0 frame last 20 0 0");
    show.load("cutscenes/test.dat", Cutscene::Audience::Nobody);
    tick(3);
    EXPECT_EQ(show.currentFrame().texture, "last");
}

TEST_F(CutsceneTiming, OpaqueFadeThenBlankFadeOnTheLastSlideThenTheShowEnds) {
    start("frame a 20 40 2 frame last 40 60 1");
    tick(2);
    EXPECT_EQ(show.currentFrame().fade, 20);
    EXPECT_EQ(show.look(), Cutscene::Look::Opaque);
    tick(4);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(show.look(), Cutscene::Look::Blank);
        ASSERT_TRUE(show.isPlaying());
        tick();
    }
    EXPECT_TRUE(show.isPlaying());
    tick();
    EXPECT_FALSE(show.isPlaying());
}

TEST_F(CutsceneTiming, ZeroFadeCrossFadeIsClearNotNaN) {
    start("frame a 0 0 0 frame b 20 0 0");
    EXPECT_EQ(show.look(), Cutscene::Look::CrossFade);
    EXPECT_EQ(show.fadeAlpha(), 0.0f);
    tick();
    EXPECT_EQ(show.currentFrame().texture, "b");
}

TEST_F(CutsceneTiming, MissingFileReportsAndLeavesTheShowRunning) {
    start("frame a 100 0 0 frame b 100 0 0");
    tick();
    ::testing::internal::CaptureStdout();
    show.load("cutscenes/none.dat");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Could not open cutscene: cutscenes/none.dat\n");
    EXPECT_EQ(show.currentFrame().hold, 80);
    EXPECT_EQ(show.remainingFrames().size(), 2u);
}

TEST_F(CutsceneTiming, MalformedEntryEndsTheFileThere) {
    start("frame a 100 0 0\r\n\tframe b ten 0 0\nframe c 100 0 0");
    EXPECT_EQ(show.remainingFrames().size(), 1u);
    start("frame a 99999999999999999999 0 0");
    EXPECT_FALSE(show.isPlaying());
    start("frame a 100 0");
    EXPECT_FALSE(show.isPlaying());
}

TEST_F(CutsceneOnScreen, TexturesLiveUntilTheShowEndsOrIsSkipped) {
    start("picture red red.png\nframe red 20 0 0\nframe blue 20 0 1\npicture blue blue.png\n");
    EXPECT_EQ(show.loadedTextureNames(), (std::vector<std::string>{"red", "blue"}));
    EXPECT_TRUE(textures.contains("red") && textures.contains("blue"));
    tick(4);
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(textures.contains("red") || textures.contains("blue"));
    EXPECT_TRUE(show.loadedTextureNames().empty());

    // Skipping releases the textures of every file loaded since the last end.
    start("picture red red.png frame red 2000 0 0");
    start("picture blue blue.png frame blue 2000 0 0");
    show.skip();
    EXPECT_FALSE(textures.contains("red") || textures.contains("blue"));
}

// However many pictures a file lists, one show loads 16; the console names the first
// line left out.
TEST_F(CutsceneOnScreen, PicturesBeyondSixteenAreLeftOutWithTheirLine) {
    std::string file = "frame p0 20 0 0\n";
    for (int i = 0; i < 500; ++i) file += "picture p" + std::to_string(i) + " red.png\n";
    testing::internal::CaptureStderr();
    start(file);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cutscenes/test.dat:18: 484 pictures beyond the 16 one cutscene may load are left out, from this line on\n");
    EXPECT_EQ(show.loadedTextureNames().size(), 16u);
    EXPECT_TRUE(textures.contains("p15"));
    EXPECT_FALSE(textures.contains("p16"));
    show.skip();
}

TEST_F(CutsceneOnScreen, FileWithoutSlidesEndsAtOnceAndReleasesItsTextures) {
    EXPECT_EQ(start("picture red red.png picture blue blue.png"), "Loaded cutscenes/test.dat\n");
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(Game::instance().isBackgroundShown());
    EXPECT_FALSE(textures.contains("red") || textures.contains("blue"));
    tick(3);
    EXPECT_FALSE(show.isPlaying());
}

// Drawn under whatever matrices the scene left, it fills the window upright and
// restores them. The mid-fade picture is kept for a person to look at.
TEST_F(CutsceneOnScreen, CrossFadeMixesUprightSlidesThenBlankShowsTheSceneBehind) {
    // Red over the top half, blue below, shows which way up a slide lands; it fades
    // into a night sky with a moon in its upper left.
    writePicture("halves.png",
                 picture::png(8, 8, [](int, int y) { return y < 4 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255}; }));
    writePicture("night.png", picture::png(64, 48, [](int x, int y) {
        const bool moon = (x - 14) * (x - 14) + (y - 10) * (y - 10) < 36;
        return moon ? Rgba{250, 250, 210, 255} : Rgba{10, 10, 60, 255};
    }));
    start("picture halves halves.png picture night night.png frame halves 20 1000 0 frame night 20 40 1");
    tick(1 + 15);
    ASSERT_NEAR(show.fadeAlpha(), 0.7f, 1e-6);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1, 2, 3);
    const std::vector<GLdouble> before = matrices();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    show.draw();
    window.saveScreenshot("cutscene-crossfade");
    EXPECT_EQ(matrices(), before);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const int right = window.width() - 3, top = window.height() - 3;
    for (const int x : {2, right}) {
        expectPixel(x, top, {182, 3, 18, 255});
        expectPixel(x, 2, {3, 3, 197, 255});
    }

    tick(36 + 1);
    ASSERT_EQ(show.look(), Cutscene::Look::Blank);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    show.draw();
    expectPixel(320, 240, {255, 255, 255, 255});
}

// The last level's ending runs into the credits and the credits into the menu: every
// frame drawn across both changes, read back as the game shows it, holds no pixel of
// the level, though the ending's slides fade to blank and the credits fade out.
TEST_F(CutsceneOnScreen, NoFrameOfTheLevelShowsBetweenTheEndingTheCreditsAndTheMenu) {
    writePicture("green.png", picture::solidPng(8, 8, {0, 255, 0, 255}));
    dir.write("textures.dat", "green.png background\n");
    dir.write("cutscenes/ending.dat", "texture endA red.png texture endB red.png frame endA 100 60 1 frame endB 100 60 1");
    dir.write("cutscenes/credits.dat", "texture credits blue.png frame credits 100 100 0");
    dir.write("levels/last.dat", "cutscene cutscenes/ending.dat 0 1\ncutscene cutscenes/credits.dat 0 1\nend 0\n");
    Game& game = Game::instance();
    game.init();
    game.reshape(window.width(), window.height());
    game.clearBackground();
    game.closeMenu();
    ::testing::internal::CaptureStdout();
    game.startGame(true, false, "last.dat");

    int levelFrames = 0, endingFrames = 0, creditsFrames = 0, frames = 0;
    for (; frames < 200 && game.getMenu() == nullptr; ++frames) {
        game.draw();
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        bool level = false, ending = false, credits = false;
        for (std::size_t i = 0; i < pixels.size(); i += 3 * 97) {
            level = level || (pixels[i] < 40 && pixels[i + 1] > 200 && pixels[i + 2] < 40);
            ending = ending || (pixels[i] > 200 && pixels[i + 1] < 40);
            credits = credits || (pixels[i + 2] > 200 && pixels[i] < 40);
        }
        levelFrames += level;
        endingFrames += ending;
        creditsFrames += credits;
        game.update(20);
    }
    ::testing::internal::GetCapturedStdout();
    EXPECT_NE(game.getMenu(), nullptr) << "the game did not return to the menu";
    EXPECT_GT(endingFrames, 5);
    EXPECT_GT(creditsFrames, 5);
    EXPECT_EQ(levelFrames, 0) << "of " << frames << " frames";
}
