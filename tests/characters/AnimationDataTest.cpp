#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <climits>
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
    // Bounds of the time the figure spends in the move (a loop: one cycle), in ms.
    unsigned shortest;
    unsigned longest;
};

// In start-up order.
const ShippedAnimation kShipped[] = {
    {"SwingStick.txt", "swingstick", false, 300, 800},
    {"ThrowBall.txt", "throw", false, 200, 450},
    {"FightStance.txt", "fightstance", true, 400, 2000},
    {"WeaponStance.txt", "weaponstance", true, 400, 2000},
    {"Hit1.txt", "hit", false, 200, 450},
    {"Walk.txt", "walk", true, 500, 900},
    {"WeaponWalk.txt", "weaponwalk", true, 500, 900},
    {"LoseLimb.txt", "loselimb", false, 250, 600},
    {"Die.txt", "die", false, 500, 1000},
    {"WeaponHit.txt", "weaponhit", false, 200, 450},
    {"PunchStart.txt", "punchstart", false, 100, 250},
    {"PunchFinish.txt", "punchfinish", false, 120, 300},
    {"SwingStickStart.txt", "swingstickstart", false, 150, 350},
    {"SwingStickFinish.txt", "swingstickfinish", false, 150, 350},
    {"TransformBazooka.txt", "transformbazooka", false, 200, 450},
    {"BazookaShotStart.txt", "bazookashotstart", false, 200, 450},
    {"BazookaShotFinish.txt", "bazookashotfinish", false, 200, 450},
    {"BazookaHit.txt", "bazookahit", false, 200, 450},
    {"BazookaStance.txt", "bazookastance", true, 400, 2000},
    {"BazookaWalk.txt", "bazookawalk", true, 500, 900},
    {"PickupStart.txt", "pickupstart", false, 200, 500},
    {"PickupFinish.txt", "pickupfinish", false, 200, 450},
    {"RipLimbStart.txt", "riplimbstart", false, 200, 500},
    {"RipLimbFinish.txt", "riplimbfinish", false, 200, 450},
};

// A move that hands over to another: the first pose of the next one is shown the moment
// the first ends, so the two must meet.
struct Handover {
    const char* from;
    const char* to;
};

const Handover kHandovers[] = {
    {"punchstart", "punchfinish"},          {"punchfinish", "fightstance"},
    {"swingstickstart", "swingstickfinish"}, {"swingstickfinish", "weaponstance"},
    {"throw", "fightstance"},               {"hit", "fightstance"},
    {"weaponhit", "weaponstance"},          {"bazookahit", "bazookastance"},
    {"loselimb", "fightstance"},            {"riplimbstart", "riplimbfinish"},
    {"riplimbfinish", "weaponstance"},      {"pickupfinish", "weaponstance"},
    {"bazookashotstart", "bazookashotfinish"},
};

constexpr unsigned kTick = 20;
// The largest turn of any joint across a handover that still reads as one movement.
constexpr float kMaxHandoverTurn = 10.0f;

// Difference of two angles the short way round, 0..180.
float turnBetween(float a, float b) {
    const float d = std::fmod(std::fabs(a - b), 360.0f);
    return d > 180.0f ? 360.0f - d : d;
}

float largestTurn(const Pose& a, const Pose& b) {
    float largest = 0.0f;
    for (int joint = 0; joint < JointCount; ++joint) {
        largest = std::max(largest, turnBetween(a[joint], b[joint]));
    }
    return largest;
}

unsigned playedLength(const Animation& animation, bool loops) {
    // A one-shot plays segments 1 .. n-2; a loop cycles through 0 .. n-2.
    unsigned total = 0;
    for (std::size_t frame = loops ? 0 : 1; frame + 1 < animation.size(); ++frame) {
        total += static_cast<unsigned>(animation[frame].duration);
    }
    return total;
}

class AnimationDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        char here[PATH_MAX];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous = here;
        ASSERT_EQ(chdir(MB_DATA_DIR), 0) << MB_DATA_DIR;
    }
    void TearDown() override { EXPECT_EQ(chdir(previous.c_str()), 0); }

    // Loads every shipped file as start-up does; the library then holds them all.
    void loadAll() {
        for (const ShippedAnimation& shipped : kShipped) {
            library.load(shipped.file);
        }
    }

    const Animation& find(const char* name) const {
        const Animation* animation = library.find(name);
        EXPECT_NE(animation, nullptr) << name;
        static const Animation none;
        return animation != nullptr ? *animation : none;
    }

    AnimationLibrary& library = AnimationLibrary::instance();
    std::string previous;
};

TEST_F(AnimationDataTest, EveryFileLoadsQuietlyUnderTheNameTheFiguresAskFor) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const ShippedAnimation& shipped : kShipped) {
        EXPECT_TRUE(library.load(shipped.file)) << shipped.file;
    }
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    EXPECT_EQ(err.find("Error"), std::string::npos) << err;
    EXPECT_EQ(err.find("Warning"), std::string::npos) << err;

    for (const ShippedAnimation& shipped : kShipped) {
        const Animation* animation = library.find(shipped.name);
        ASSERT_NE(animation, nullptr) << shipped.file << " does not carry " << shipped.name;
        EXPECT_GE(animation->size(), 3u) << shipped.name;
        const unsigned length = playedLength(*animation, shipped.loops);
        EXPECT_GE(length, shipped.shortest) << shipped.name;
        EXPECT_LE(length, shipped.longest) << shipped.name;
    }
}

TEST_F(AnimationDataTest, OneShotsEndOnTimeAndLoopsRunOnWithFiniteJoints) {
    loadAll();
    for (const ShippedAnimation& shipped : kShipped) {
        SCOPED_TRACE(shipped.name);
        AnimationPlayer player;
        Pose pose{};
        testing::internal::CaptureStdout();
        unsigned played = 0;
        if (shipped.loops) {
            player.loop(shipped.name);
            for (; played < 3 * shipped.longest; played += kTick) {
                player.update(kTick, pose);
            }
        } else {
            player.playOnce(shipped.name);
            for (; player.isPlaying() && played <= player.totalDuration() + kTick; played += kTick) {
                player.update(kTick, pose);
            }
            EXPECT_FALSE(player.isPlaying());
            EXPECT_LE(played, player.totalDuration() + kTick);
        }
        // Interpolation complains on standard output about angles it cannot trust.
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        for (const float angle : pose) {
            EXPECT_TRUE(std::isfinite(angle));
        }
    }
}

TEST_F(AnimationDataTest, LoopsCloseOnTheirFirstFrameSoTheJumpBackDoesNotShow) {
    loadAll();
    for (const ShippedAnimation& shipped : kShipped) {
        if (!shipped.loops) {
            continue;
        }
        const Animation& animation = find(shipped.name);
        ASSERT_GE(animation.size(), 3u);
        EXPECT_LE(largestTurn(animation[animation.size() - 1].angles, animation[0].angles), 0.5f)
            << shipped.name;
    }
}

TEST_F(AnimationDataTest, MovesEndWhereTheNextOneBegins) {
    loadAll();
    for (const Handover& handover : kHandovers) {
        const Animation& from = find(handover.from);
        const Animation& to = find(handover.to);
        ASSERT_GE(from.size(), 3u);
        ASSERT_GE(to.size(), 3u);
        EXPECT_LE(largestTurn(from[from.size() - 1].angles, to[1].angles), kMaxHandoverTurn)
            << handover.from << " -> " << handover.to;
    }
}

}  // namespace
