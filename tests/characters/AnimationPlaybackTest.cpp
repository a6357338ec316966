#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "characters/AnimationLibrary.h"
#include "characters/AnimationPlayer.h"
#include "support/TempDataDir.h"

namespace {

struct Frame {
    float neck;
    int duration;
};

class AnimationPlaybackTest : public ::testing::Test {
protected:
    // Writes and loads an animation whose joint 0 follows `frames`; joint 17 holds -30
    // throughout, so wrapping shows on it.
    void define(const std::string& name, const std::vector<Frame>& frames) {
        std::string text = name + "\n";
        for (const Frame& frame : frames) {
            text += std::to_string(frame.neck);
            for (int joint = 1; joint < JointCount - 1; ++joint) {
                text += " 5";
            }
            text += " -30 " + std::to_string(frame.duration) + "\n";
        }
        data.write("animations/" + name + ".txt", text);
        ASSERT_TRUE(AnimationLibrary::instance().load(name + ".txt"));
    }

    // Neck angles shown after each of `steps` updates of dt.
    std::vector<float> play(int steps, unsigned dt) {
        std::vector<float> shown;
        for (int i = 0; i < steps; ++i) {
            player.update(dt, pose);
            shown.push_back(pose[0]);
        }
        return shown;
    }

    TempDataDir data;
    AnimationPlayer player;
    Pose pose{};
};

// Catmull-Rom through 10, 20, 40 with 10 and 40 as outer points, by hand:
// a1 = 15, a2 = 35, a3 = -30 for the segment 1->2.
constexpr float Segment12[] = {20.0f, 25.46875f, 32.5f, 38.28125f};

TEST_F(AnimationPlaybackTest, AOneShotOfThreeFramesPlaysOnlyTheMiddleSegment) {
    define("three", {{10, 100}, {20, 200}, {40, 300}});
    player.playOnce("three");
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.totalDuration(), 600u);

    const std::vector<float> shown = play(4, 50);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(shown[i], Segment12[i]) << "step " << i;
        EXPECT_TRUE(player.isPlaying());
    }
    EXPECT_FLOAT_EQ(pose[17], 330.0f);

    player.update(50, pose);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FLOAT_EQ(pose[0], Segment12[3]) << "the last pose stays";
    EXPECT_EQ(player.elapsed(), 250u);

    play(100, 20);
    EXPECT_FLOAT_EQ(pose[0], Segment12[3]);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.elapsed(), 2250u) << "a toppling corpse measures elapsed past the end";
}

TEST_F(AnimationPlaybackTest, ALoopAlternatesTheMiddleSegmentAndTheSegmentFromFrameZero) {
    define("three", {{10, 100}, {20, 200}, {40, 300}});
    player.loop("three");

    // 0->1 uses key frame 2 as its first control point: a1 = -10, a2 = 35, a3 = -15.
    const float lap[] = {20.0f, 25.46875f, 32.5f, 38.28125f, 10.0f, 11.875f};
    for (int round = 0; round < 3; ++round) {
        const std::vector<float> shown = play(6, 50);
        for (int i = 0; i < 6; ++i) {
            EXPECT_FLOAT_EQ(shown[i], lap[i]) << round << "/" << i;
            EXPECT_NE(shown[i], 40.0f) << "key frame 2 is left by a jump, never shown";
        }
    }
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(AnimationPlaybackTest, TwoFramesOneShotEndsOnItsFirstStep) {
    define("two", {{10, 100}, {20, 200}});
    pose[0] = 77.0f;
    player.playOnce("two");
    player.update(20, pose);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FLOAT_EQ(pose[0], 77.0f);
    EXPECT_EQ(player.totalDuration(), 300u);
}

TEST_F(AnimationPlaybackTest, AnglesTurnTheShorterWayAcrossZero) {
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.0f, 350, 10, 30, 50), 370.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.5f, 350, 10, 30, 50), 380.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.5f, 10, 350, 330, 310), -20.0f);
    EXPECT_FLOAT_EQ(AnimationPlayer::interpolate(0.0f, 0, 900, 0, 0), 180.0f)
        << "several turns are removed at once";

    define("spin", {{350, 100}, {10, 100}, {30, 100}, {50, 100}});
    player.loop("spin");
    for (const float angle : play(5, 20)) {
        EXPECT_GE(angle, 10.0f);
        EXPECT_LE(angle, 30.0f) << "never back through 180";
    }
    EXPECT_FLOAT_EQ(pose[0], 26.0f) << "t = 0.8 between 10 and 30 on a straight line";
}

TEST_F(AnimationPlaybackTest, AbsurdAnglesAreReportedButPlayed) {
    testing::internal::CaptureStdout();
    const float value = AnimationPlayer::interpolate(0.0f, 1, 5000, 3, 4);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1, 5000, 3, 4\n");
    EXPECT_FLOAT_EQ(value, 5000.0f - 14 * 360.0f);

    testing::internal::CaptureStdout();
    const float huge = AnimationPlayer::interpolate(0.5f, 0, 3e38, -3e38, 3e38);
    testing::internal::GetCapturedStdout();
    (void)huge;
}

TEST_F(AnimationPlaybackTest, AnUnknownNameComplainsAndKeepsThePose) {
    define("three", {{10, 100}, {20, 200}, {40, 300}});
    player.playOnce("three");
    play(2, 50);

    testing::internal::CaptureStderr();
    player.playOnce("X");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Animation X has not been loaded\n");
    EXPECT_EQ(player.playingAnimation(), nullptr);
    EXPECT_EQ(player.totalDuration(), 0u);
    play(10, 20);
    EXPECT_FLOAT_EQ(pose[0], Segment12[1]);
    EXPECT_TRUE(player.isPlaying()) << "the figure waits for an end that never comes";

    testing::internal::CaptureStderr();
    player.loop("Y");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Animation Y has not been loaded\n");
}

TEST_F(AnimationPlaybackTest, AnEmptyAnimationPlaysNothing) {
    define("empty", {});
    pose[0] = 12.0f;
    player.playOnce("empty");
    EXPECT_EQ(player.totalDuration(), 0u);
    play(5, 20);
    EXPECT_FLOAT_EQ(pose[0], 12.0f);
    player.loop("empty");
    play(5, 20);
    EXPECT_FLOAT_EQ(pose[0], 12.0f);
}

TEST_F(AnimationPlaybackTest, ASingleFrameIsCopiedWithoutWrapping) {
    define("still", {{-45, 100}});
    player.loop("still");
    player.update(20, pose);
    EXPECT_FLOAT_EQ(pose[0], -45.0f);
    EXPECT_FLOAT_EQ(pose[17], -30.0f);
}

TEST_F(AnimationPlaybackTest, AZeroLengthKeyFrameShowsWhereItLeads) {
    define("snap", {{0, 100}, {10, 0}, {20, 100}, {30, 100}});
    player.playOnce("snap");
    player.update(20, pose);
    EXPECT_FLOAT_EQ(pose[0], 20.0f);
    player.update(20, pose);
    EXPECT_FLOAT_EQ(pose[0], 20.0f) << "then the next segment starts from there";
    player.update(50, pose);
    EXPECT_GT(pose[0], 20.0f);
    EXPECT_LT(pose[0], 30.0f);
    EXPECT_TRUE(player.isPlaying());
}

}  // namespace
