#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "world/Head.h"
#include "world/Stick.h"

namespace {

constexpr Color Green{0.1, 0.8, 0.2, 1.0};
constexpr bool Alive = true;
constexpr bool Dead = false;

bool isStick(const std::unique_ptr<Object>& part) {
    const auto* stick = dynamic_cast<const Stick*>(part.get());
    return stick != nullptr && stick->getColour() == Green;
}

int limbsLeft(const StickFigModel& model) {
    int count = 0;
    for (const Limb limb : {LimbHead, LimbArm1, LimbArm2, LimbLeg1, LimbLeg2}) {
        count += model.isAttached(limb) ? 1 : 0;
    }
    return count;
}

TEST(StickFigModelTest, JointsWrapIntoOneTurnAndBadIndicesAreRefused) {
    StickFigModel model(Green);
    const std::pair<float, float> wraps[] = {{-30, 330}, {720, 360}, {-360, 0}, {-750, 330}};
    for (const auto& [set, shown] : wraps) {
        model.setJoint(17, set);
        EXPECT_FLOAT_EQ(model.getPose()[17], shown) << set;
    }
    model.setJoint(2, 3e38f);
    EXPECT_GE(model.getPose()[2], 0.0f) << "wrapped at once, not turn by turn";
    EXPECT_LE(model.getPose()[2], 360.0f);

    const Pose before = model.getPose();
    testing::internal::CaptureStderr();
    model.setJoint(18, 10.0f);
    model.setJoint(-1, 10.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Bad joint index\nBad joint index\n");
    EXPECT_EQ(model.getPose(), before);
}

TEST(StickFigModelTest, TheLivingGiveUpOnlyAnArmAndNeverTheLastOne) {
    StickFigModel model(Green);
    for (const PartKind kind : {ArmPart, LegPart, HeadPart, WholeBody}) {
        EXPECT_EQ(model.canLose(kind, Alive), kind == ArmPart) << kind;
        EXPECT_TRUE(model.canLose(kind, Dead)) << kind;
    }
    EXPECT_FALSE(model.canLose(static_cast<PartKind>(7), Dead));
    EXPECT_EQ(model.detachPart(WholeBody, Dead), nullptr) << "the pick-up takes the body itself";
    EXPECT_EQ(limbsLeft(model), 5);

    EXPECT_TRUE(isStick(model.detachPart(HeadPart, Alive))) << "asked for a head, an arm";
    EXPECT_FALSE(model.isAttached(LimbArm1));
    EXPECT_EQ(limbsLeft(model), 4);
    EXPECT_FALSE(model.canLose(ArmPart, Alive));
    EXPECT_EQ(model.detachPart(ArmPart, Alive), nullptr) << "the weapon hand stays on";
    EXPECT_TRUE(model.canLose(ArmPart, Dead));
    EXPECT_FALSE(model.canLose(WholeBody, Dead)) << "only a complete corpse is carried";
}

TEST(StickFigModelTest, ACorpseFallsBackFromLegsToArmsToTheHead) {
    StickFigModel model(Green);
    ASSERT_NE(dynamic_cast<Head*>(model.detachPart(HeadPart, Dead).get()), nullptr);
    EXPECT_TRUE(isStick(model.detachPart(HeadPart, Dead))) << "headless: an arm instead";
    EXPECT_TRUE(model.isAttached(LimbLeg1) && model.isAttached(LimbLeg2));

    StickFigModel other(Green);
    EXPECT_TRUE(isStick(other.detachPart(LegPart, Dead)));
    EXPECT_TRUE(isStick(other.detachPart(LegPart, Dead)));
    EXPECT_FALSE(other.isAttached(LimbLeg1) || other.isAttached(LimbLeg2));
    EXPECT_EQ(limbsLeft(other), 3);
    EXPECT_TRUE(isStick(other.detachPart(LegPart, Dead))) << "no legs left: the arms";
    EXPECT_TRUE(isStick(other.detachPart(LegPart, Dead)));
    EXPECT_TRUE(other.isAttached(LimbHead));
    EXPECT_EQ(limbsLeft(other), 1);
    const std::unique_ptr<Object> head = other.detachPart(LegPart, Dead);
    ASSERT_NE(dynamic_cast<const Head*>(head.get()), nullptr) << "then the head";
    EXPECT_EQ(dynamic_cast<const Head*>(head.get())->getColour(), Green);
    EXPECT_FALSE(other.hasAnyLimb());
    for (const PartKind kind : {ArmPart, LegPart, HeadPart, WholeBody}) {
        EXPECT_EQ(other.detachPart(kind, Dead), nullptr);
        EXPECT_EQ(other.detachPart(kind, Alive), nullptr);
    }
}

// "dripTime" is read once per process, so each countdown has a test of its own.
TEST(StickFigModelTest, AStumpBleedsForDripTimeInTwentyMillisecondTicks) {
    Settings::instance().setInt("dripTime", 1000);
    StickFigModel model(Green);
    model.detachPart(HeadPart, Dead);
    for (int tick = 0; tick < 49; ++tick) model.update(20);
    EXPECT_EQ(model.bleedTime(LimbHead), 20);
    for (int tick = 0; tick < 10; ++tick) model.update(20);
    EXPECT_EQ(model.bleedTime(LimbHead), 0) << "reaches zero and a dry stump stays dry";
    EXPECT_EQ(model.bleedTime(LimbArm1), 1000) << "a limb still on does not count down";
}

TEST(StickFigModelTest, ACountdownThatMissesZeroKeepsFalling) {
    Settings::instance().setInt("dripTime", 1010);
    StickFigModel model(Green);
    model.detachPart(ArmPart, Alive);
    for (int tick = 0; tick < 50; ++tick) model.update(20);
    EXPECT_EQ(model.bleedTime(LimbArm1), 10);
    model.update(20);
    model.update(20);
    EXPECT_EQ(model.bleedTime(LimbArm1), -30);
}

}  // namespace
