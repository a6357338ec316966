#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "characters/AnimationLibrary.h"
#include "characters/AnimationPlayer.h"

// The animation files the game ships, loaded from the repository's data folder exactly as
// start-up loads them.

namespace {

struct ShippedAnimation {
    const char* file;
    const char* name;
    bool loops;
};

// In start-up order.
const ShippedAnimation kShipped[] = {
    {"SwingStick.txt", "swingstick", false},     {"ThrowBall.txt", "throw", false},
    {"FightStance.txt", "fightstance", true},    {"WeaponStance.txt", "weaponstance", true},
    {"Hit1.txt", "hit", false},                  {"Walk.txt", "walk", true},
    {"WeaponWalk.txt", "weaponwalk", true},      {"LoseLimb.txt", "loselimb", false},
    {"Die.txt", "die", false},                   {"WeaponHit.txt", "weaponhit", false},
    {"PunchStart.txt", "punchstart", false},     {"PunchFinish.txt", "punchfinish", false},
    {"SwingStickStart.txt", "swingstickstart", false},
    {"SwingStickFinish.txt", "swingstickfinish", false},
    {"TransformBazooka.txt", "transformbazooka", false},
    {"BazookaShotStart.txt", "bazookashotstart", false},
    {"BazookaShotFinish.txt", "bazookashotfinish", false},
    {"BazookaHit.txt", "bazookahit", false},     {"BazookaStance.txt", "bazookastance", true},
    {"BazookaWalk.txt", "bazookawalk", true},    {"PickupStart.txt", "pickupstart", false},
    {"PickupFinish.txt", "pickupfinish", false}, {"RipLimbStart.txt", "riplimbstart", false},
    {"RipLimbFinish.txt", "riplimbfinish", false},
};

constexpr unsigned kTick = 20;

TEST(AnimationDataTest, EveryFileLoadsQuietlyUnderItsNameAndPlaysWithFiniteJointsAndLoopsClose) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0) << MB_DATA_DIR;
    AnimationLibrary& library = AnimationLibrary::instance();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const ShippedAnimation& shipped : kShipped) {
        EXPECT_TRUE(library.load(shipped.file)) << shipped.file;
    }
    const std::string output = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    EXPECT_EQ(output.find("Warning"), std::string::npos) << output;
    for (const ShippedAnimation& shipped : kShipped) {
        SCOPED_TRACE(shipped.name);
        const Animation* animation = library.find(shipped.name);
        ASSERT_NE(animation, nullptr) << shipped.file << " does not carry its name";
        ASSERT_GE(animation->size(), 3u);
        const Pose& first = (*animation)[0].angles;
        const Pose& last = (*animation)[animation->size() - 1].angles;
        for (int joint = 0; shipped.loops && joint < JointCount; ++joint) {
            const float turn = std::fmod(std::fabs(first[joint] - last[joint]), 360.0f);
            EXPECT_LE(std::min(turn, 360.0f - turn), 0.5f) << "a loop ends where it starts, joint " << joint;
        }

        AnimationPlayer player;
        Pose pose{};
        // Interpolation complains on standard output about angles it cannot trust.
        testing::internal::CaptureStdout();
        if (shipped.loops) {
            player.loop(shipped.name);
            for (int step = 0; step < 200; ++step) player.update(kTick, pose);
        } else {
            player.playOnce(shipped.name);
            unsigned played = 0;
            for (; player.isPlaying() && played <= player.totalDuration(); played += kTick) {
                player.update(kTick, pose);
            }
            EXPECT_FALSE(player.isPlaying()) << "a one-shot ends on time";
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        for (const float angle : pose) EXPECT_TRUE(std::isfinite(angle));
    }
}

}  // namespace
