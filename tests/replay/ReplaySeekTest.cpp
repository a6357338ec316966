// A campaign replay watched on screen is scrubbed like a video: paused, stepped, jumped
// forward and back, sped up and slowed down, and still meets every recorded digest.
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayViewer.h"
#include "support/GlWindow.h"

namespace {

constexpr int kSpace = ' ';
constexpr int kStep = '.';
constexpr int kLeft = 356;
constexpr int kUp = 357;
constexpr int kRight = 358;
constexpr int kDown = 359;

TEST(ReplaySeekTest, ACampaignReplayScrubbedOnScreenStillMeetsEveryDigest) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0);
    alutInitWithoutContext(nullptr, nullptr);
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("music", 0);
    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReplayReader::read(MB_REPLAYS_DIR "/campaign1.replay", replay, error)) << error;
    ReplayViewer viewer(replay, "campaign1", false);
    const GlWindow window(800, 600);
    Game& game = Game::instance();
    game.init();
    game.reshape(800, 600);
    viewer.begin();

    InputSeam& seam = InputSeam::instance();
    // As the main loop runs them: the ticks the viewer asks for, then a frame.
    auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            for (int due = seam.ticksThisFrame(); due > 0; --due) game.update(20);
            game.draw();
        }
    };
    auto press = [&](int key) {
        seam.key(key, true);
        seam.key(key, false);
    };

    frames(30);
    EXPECT_EQ(viewer.ticksPlayed(), 30);
    for (int i = 0; i < 6; ++i) press(kRight);
    EXPECT_EQ(viewer.ticksPlayed(), 3030) << "a minute on";
    press(kLeft);
    press(kLeft);
    EXPECT_EQ(viewer.ticksPlayed(), 2030) << "twenty seconds back";

    press(kSpace);
    frames(10);
    EXPECT_EQ(viewer.ticksPlayed(), 2030) << "paused";
    press(kStep);
    frames(3);
    EXPECT_EQ(viewer.ticksPlayed(), 2031) << "one step";
    press(kSpace);
    for (int i = 0; i < 4; ++i) press(kUp);
    EXPECT_EQ(viewer.speed(), 8.0);
    frames(5);
    EXPECT_EQ(viewer.ticksPlayed(), 2071);
    for (int i = 0; i < 6; ++i) press(kDown);
    EXPECT_EQ(viewer.speed(), 0.25);
    frames(8);
    EXPECT_EQ(viewer.ticksPlayed(), 2073);
    window.saveScreenshot("replay-seek-bar");

    // Back to the start, then on to the end a jump at a time.
    for (int i = 0; i < 10; ++i) press(kLeft);
    EXPECT_EQ(viewer.ticksPlayed(), 0);
    while (!viewer.isFinished()) press(kRight);
    EXPECT_TRUE(viewer.isFinished());
    EXPECT_EQ(viewer.ticksPlayed(), replay.endTick);
    EXPECT_EQ(viewer.differenceTick(), -1) << viewer.difference();
    EXPECT_GT(viewer.digestsCompared(), replay.endTick / ReplayFile::DigestInterval);
    EXPECT_LE(viewer.bookmarksKept(), ReplayViewer::MostBookmarks);
}

}  // namespace
