#include <gtest/gtest.h>

#include "core/Game.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

// Slide timing and file reading, without a window: slides refer to texture names that
// no entry loads, so nothing here needs a GL context.
namespace {

class CutsceneTiming : public ::testing::Test {
protected:
    void SetUp() override { Game::instance(); }

    void start(const std::string& contents) {
        dir.write("cutscenes/test.dat", contents);
        ::testing::internal::CaptureStdout();
        show.load("cutscenes/test.dat");
        loadOutput = ::testing::internal::GetCapturedStdout();
    }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            show.update(20);
        }
    }

    TempDataDir dir;
    Cutscene& show = Cutscene::instance();
    std::string loadOutput;
};

TEST_F(CutsceneTiming, CrossFadeHoldsThenFadesThenAdvances) {
    start("frame first 2000 1000 0\nframe second 400 0 2\n");
    EXPECT_EQ(loadOutput, "Loaded cutscenes/test.dat\n");
    EXPECT_FALSE(Game::instance().isBackgroundShown());
    ASSERT_TRUE(show.isPlaying());
    EXPECT_EQ(show.nextFrame().texture, "second");

    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(show.look(), Cutscene::Look::Opaque) << "tick " << i;
        tick();
    }
    EXPECT_EQ(show.currentFrame().hold, 0);
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

TEST_F(CutsceneTiming, HoldSteppingPastZeroSticksUntilSkipped) {
    start("frame stuck 30 0 0 frame after 20 0 0");
    tick();
    EXPECT_EQ(show.currentFrame().hold, 10);
    tick();
    EXPECT_EQ(show.currentFrame().hold, -10);
    tick(500);
    EXPECT_EQ(show.currentFrame().texture, "stuck");
    EXPECT_EQ(show.look(), Cutscene::Look::CrossFade);
    EXPECT_TRUE(show.isPlaying());

    show.skip();
    EXPECT_FALSE(show.isPlaying());
    EXPECT_TRUE(show.remainingFrames().empty());
}

TEST_F(CutsceneTiming, BlankTransitionOnTheLastSlideShowsNothingThenEnds) {
    start("frame last 40 60 1");
    tick();
    EXPECT_EQ(show.look(), Cutscene::Look::Opaque);
    tick();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(show.look(), Cutscene::Look::Blank);
        ASSERT_TRUE(show.isPlaying());
        tick();
    }
    EXPECT_EQ(show.currentFrame().fade, 0);
    EXPECT_TRUE(show.isPlaying());
    tick();
    EXPECT_FALSE(show.isPlaying());
    // The last slide stays listed until the next load.
    EXPECT_EQ(show.remainingFrames().size(), 1u);
}

TEST_F(CutsceneTiming, StayOpaqueTransitionKeepsThePictureThroughTheFade) {
    start("frame a 20 40 2 frame b 20 0 0");
    tick(2);
    EXPECT_EQ(show.currentFrame().fade, 20);
    EXPECT_EQ(show.look(), Cutscene::Look::Opaque);
    tick(2);
    EXPECT_EQ(show.currentFrame().texture, "b");
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
    EXPECT_EQ(show.currentFrame().texture, "a");
    EXPECT_EQ(show.currentFrame().hold, 80);
    EXPECT_EQ(show.remainingFrames().size(), 2u);
}

TEST_F(CutsceneTiming, LoadingDuringPlaybackReplacesTheSlides) {
    start("frame a 100 0 0 frame b 100 0 0");
    tick();
    start("frame c 60 0 0");
    EXPECT_EQ(show.currentFrame().texture, "c");
    EXPECT_EQ(show.remainingFrames().size(), 1u);
    EXPECT_TRUE(show.nextFrame().texture.empty());
}

TEST_F(CutsceneTiming, FileWithoutSlidesEndsAtOnce) {
    start("frame a 100 0 0");
    start("\n\n");
    EXPECT_EQ(loadOutput, "Loaded cutscenes/test.dat\n");
    EXPECT_FALSE(show.isPlaying());
    EXPECT_FALSE(Game::instance().isBackgroundShown());
    tick(3);
    EXPECT_FALSE(show.isPlaying());
}

TEST_F(CutsceneTiming, MalformedEntryEndsTheFileThere) {
    start("frame a 100 0 0\r\n\tframe b ten 0 0\nframe c 100 0 0");
    EXPECT_EQ(show.remainingFrames().size(), 1u);
    EXPECT_TRUE(show.nextFrame().texture.empty());

    start("frame a 99999999999999999999 0 0");
    EXPECT_FALSE(show.isPlaying());

    start("frame a 100 0");
    EXPECT_FALSE(show.isPlaying());

    start("frame a 20 0 0 picture lonely");
    EXPECT_TRUE(show.isPlaying());
    EXPECT_TRUE(show.loadedTextureNames().empty());
}

}  // namespace
