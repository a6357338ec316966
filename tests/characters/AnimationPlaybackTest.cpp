#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "characters/AnimationLibrary.h"
#include "characters/AnimationPlayer.h"
#include "support/TempDataDir.h"

namespace {

class AnimationPlaybackTest : public ::testing::Test {
protected:
    // Loads an animation whose joint 0 follows `frames` ({angle, duration}); joint 17 holds
    // -30 throughout, so wrapping shows on it.
    void define(const std::string& name, const std::vector<std::pair<float, int>>& frames) {
        std::string text = name + "\n";
        for (const auto& [neck, duration] : frames) {
            text += std::to_string(neck);
            for (int joint = 1; joint < JointCount - 1; ++joint) text += " 5";
            text += " -30 " + std::to_string(duration) + "\n";
        }
        data.write("animations/" + name + ".txt", text);
        ASSERT_TRUE(AnimationLibrary::instance().load(name + ".txt"));
    }

    // One update of dt per expected neck angle, each checked.
    void expectNeck(unsigned dt, const std::vector<float>& expected) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            player.update(dt, pose);
            EXPECT_FLOAT_EQ(pose[0], expected[i]) << "step " << i;
        }
    }

    void run(int steps, unsigned dt) {
        for (int i = 0; i < steps; ++i) player.update(dt, pose);
    }

    TempDataDir data;
    AnimationPlayer player;
    Pose pose{};
};

// Catmull-Rom through 10, 20, 40 with 10 and 40 as outer points, by hand:
// a1 = 15, a2 = 35, a3 = -30 for the segment 1->2.
const std::vector<float> Segment12 = {20.0f, 25.46875f, 32.5f, 38.28125f};

TEST_F(AnimationPlaybackTest, ThreeFramesPlayTheMiddleSegmentOnceOrAlternateWithFrameZeroInALoop) {
    define("three", {{10, 100}, {20, 200}, {40, 300}});
    player.playOnce("three");
    EXPECT_EQ(player.totalDuration(), 600u) << "the first and last key frames count too";
    expectNeck(50, Segment12);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_FLOAT_EQ(pose[17], 330.0f);
    player.update(50, pose);
    EXPECT_FALSE(player.isPlaying());
    run(100, 20);
    EXPECT_FLOAT_EQ(pose[0], Segment12[3]) << "the last pose stays";
    EXPECT_EQ(player.elapsed(), 2250u) << "a toppling corpse measures elapsed past the end";

    // Looped, 0->1 uses key frame 2 as its first control point: a1 = -10, a2 = 35,
    // a3 = -15. Key frame 2 itself is left by a jump and never shown.
    player.loop("three");
    for (int round = 0; round < 3; ++round) {
        expectNeck(50, {20.0f, 25.46875f, 32.5f, 38.28125f, 10.0f, 11.875f});
    }

    testing::internal::CaptureStderr();
    player.loop("Y");
    player.playOnce("X");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Animation Y has not been loaded\nError: Animation X has not been loaded\n");
    EXPECT_EQ(player.playingAnimation(), nullptr);
    EXPECT_EQ(player.totalDuration(), 0u);
    EXPECT_FALSE(player.isPlaying()) << "nothing to play is over at once";
    run(10, 20);
    EXPECT_FLOAT_EQ(pose[0], 11.875f) << "an unknown name keeps the pose";
}

TEST_F(AnimationPlaybackTest, AnglesTurnTheShorterWayAcrossZero) {
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.0f, 350, 10, 30, 50), 370.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.5f, 350, 10, 30, 50), 380.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.5f, 10, 350, 330, 310), -20.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.0f, 0, 900, 0, 0), 180.0f)
        << "several turns are removed at once";

    define("spin", {{350, 100}, {10, 100}, {30, 100}, {50, 100}});
    player.loop("spin");
    for (int step = 0; step < 5; ++step) {
        player.update(20, pose);
        EXPECT_GE(pose[0], 10.0f);
        EXPECT_LE(pose[0], 30.0f) << "never back through 180";
    }
    EXPECT_FLOAT_EQ(pose[0], 26.0f) << "t = 0.8 between 10 and 30 on a straight line";

    testing::internal::CaptureStdout();
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.0f, 1, 5000, 3, 4), 5000.0f - 14 * 360.0f);
    AnimationPlayer::interpolate(0.5f, 0, 3e38, -3e38, 3e38);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("1, 5000, 3, 4\n", 0), 0u)
        << "absurd angles are reported, and huge ones do not hang";
}

TEST_F(AnimationPlaybackTest, ShortAndZeroLengthAnimationsNeitherDivideByZeroNorOverrun) {
    define("empty", {});
    define("still", {{-45, 100}});
    define("two", {{10, 100}, {20, 200}});
    define("snap", {{0, 100}, {10, 0}, {20, 100}, {30, 100}});
    pose[0] = 12.0f;
    player.playOnce("empty");
    EXPECT_FALSE(player.isPlaying());
    run(5, 20);
    player.loop("empty");
    run(5, 20);
    player.playOnce("two");
    player.update(20, pose);
    EXPECT_FALSE(player.isPlaying()) << "two frames have no middle segment";
    EXPECT_FLOAT_EQ(pose[0], 12.0f);
    player.playOnce("still");
    player.update(20, pose);
    EXPECT_FALSE(player.isPlaying()) << "one frame has no segment at all";
    EXPECT_FLOAT_EQ(pose[0], -45.0f);
    EXPECT_FLOAT_EQ(pose[17], -30.0f) << "a single frame is copied without wrapping";

    // A zero-length key frame shows where it leads; the next segment starts from there.
    player.playOnce("snap");
    expectNeck(20, {20.0f, 20.0f});
    player.update(50, pose);
    EXPECT_GT(pose[0], 20.0f);
    EXPECT_LT(pose[0], 30.0f);
}

}  // namespace
