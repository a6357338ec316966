#include <gtest/gtest.h>

#include <cstdlib>

#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "world/Head.h"
#include "world/Stick.h"

namespace {

constexpr Color Green{0.1, 0.8, 0.2, 1.0};
constexpr bool Alive = true;
constexpr bool Dead = false;

bool isStickOf(const Object* part, const Color& colour) {
    const auto* stick = dynamic_cast<const Stick*>(part);
    return stick != nullptr && stick->getColour() == colour;
}

int limbsLeft(const StickFigModel& model) {
    int count = 0;
    for (const Limb limb : {LimbHead, LimbArm1, LimbArm2, LimbLeg1, LimbLeg2}) {
        count += model.isAttached(limb) ? 1 : 0;
    }
    return count;
}

TEST(StickFigModelTest, JointsWrapIntoOneTurn) {
    StickFigModel model(Green);
    model.setJoint(0, -30.0f);
    EXPECT_FLOAT_EQ(model.getPose()[0], 330.0f);
    model.setJoint(0, 720.0f);
    EXPECT_FLOAT_EQ(model.getPose()[0], 360.0f);
    model.setJoint(17, -360.0f);
    EXPECT_FLOAT_EQ(model.getPose()[17], 0.0f);
    model.setJoint(1, -750.0f);
    EXPECT_FLOAT_EQ(model.getPose()[1], 330.0f);
    model.setJoint(2, 3e38f);
    EXPECT_GE(model.getPose()[2], 0.0f) << "wrapped at once, not turn by turn";
    EXPECT_LE(model.getPose()[2], 360.0f);

    const Pose before = model.getPose();
    testing::internal::CaptureStderr();
    model.setJoint(18, 10.0f);
    model.setJoint(-1, 10.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Bad joint index\nBad joint index\n");
    EXPECT_EQ(model.getPose(), before);

    Pose raw{};
    raw[3] = -400.0f;
    model.setPose(raw);
    EXPECT_FLOAT_EQ(model.getPose()[3], -400.0f) << "a whole pose is copied unchanged";
}

TEST(StickFigModelTest, WhatCanBeTornOffDependsOnLife) {
    StickFigModel model(Green);
    for (const PartKind kind : {ArmPart, LegPart, HeadPart, WholeBody}) {
        EXPECT_EQ(model.canLose(kind, Alive), kind == ArmPart) << kind;
        EXPECT_TRUE(model.canLose(kind, Dead)) << kind;
    }
    EXPECT_FALSE(model.canLose(static_cast<PartKind>(7), Dead));

    std::unique_ptr<Object> arm = model.detachPart(HeadPart, Alive);
    EXPECT_TRUE(isStickOf(arm.get(), Green)) << "a living figure only gives up an arm";
    EXPECT_FALSE(model.isAttached(LimbArm1));
    EXPECT_TRUE(model.isAttached(LimbArm2));
    EXPECT_TRUE(model.isAttached(LimbHead));

    EXPECT_FALSE(model.canLose(ArmPart, Alive));
    EXPECT_EQ(model.detachPart(ArmPart, Alive), nullptr) << "the weapon hand stays on";
    EXPECT_TRUE(model.canLose(ArmPart, Dead));
    EXPECT_FALSE(model.canLose(WholeBody, Dead)) << "only a complete corpse is carried";
}

TEST(StickFigModelTest, AWholeCorpseIsNeverTornApart) {
    StickFigModel model(Green);
    EXPECT_EQ(model.detachPart(WholeBody, Dead), nullptr);
    EXPECT_EQ(limbsLeft(model), 5) << "the pick-up takes the whole body itself";
}

TEST(StickFigModelTest, ACorpseFallsBackToArmsThenHead) {
    const Color red{0.9, 0.1, 0.1, 1.0};
    StickFigModel model(red);
    ASSERT_TRUE(isStickOf(model.detachPart(LegPart, Dead).get(), red));
    ASSERT_TRUE(isStickOf(model.detachPart(LegPart, Dead).get(), red));
    EXPECT_FALSE(model.isAttached(LimbLeg1));
    EXPECT_FALSE(model.isAttached(LimbLeg2));
    EXPECT_EQ(limbsLeft(model), 3);

    ASSERT_TRUE(isStickOf(model.detachPart(LegPart, Dead).get(), red)) << "an arm instead";
    ASSERT_TRUE(isStickOf(model.detachPart(LegPart, Dead).get(), red));
    EXPECT_FALSE(model.isAttached(LimbArm1));
    EXPECT_FALSE(model.isAttached(LimbArm2));

    std::unique_ptr<Object> head = model.detachPart(LegPart, Dead);
    const auto* asHead = dynamic_cast<const Head*>(head.get());
    ASSERT_NE(asHead, nullptr) << "then the head";
    EXPECT_EQ(asHead->getColour(), red);
    EXPECT_FALSE(model.hasAnyLimb());

    for (const PartKind kind : {ArmPart, LegPart, HeadPart, WholeBody}) {
        EXPECT_EQ(model.detachPart(kind, Dead), nullptr);
        EXPECT_EQ(model.detachPart(kind, Alive), nullptr);
    }
}

TEST(StickFigModelTest, AHeadlessCorpseAskedForItsHeadGivesAnArm) {
    StickFigModel model(Green);
    ASSERT_NE(dynamic_cast<Head*>(model.detachPart(HeadPart, Dead).get()), nullptr);
    EXPECT_TRUE(isStickOf(model.detachPart(HeadPart, Dead).get(), Green));
    EXPECT_EQ(limbsLeft(model), 3);
    EXPECT_TRUE(model.isAttached(LimbLeg1) && model.isAttached(LimbLeg2));
}

TEST(StickFigModelTest, WhichOfTwoLimbsGoesIsAFairCoin) {
    std::srand(12345);
    int arm1 = 0;
    int leg1 = 0;
    constexpr int Trials = 2000;
    for (int i = 0; i < Trials; ++i) {
        StickFigModel model(Green);
        model.detachPart(ArmPart, Dead);
        model.detachPart(LegPart, Dead);
        ASSERT_EQ(limbsLeft(model), 3);
        arm1 += model.isAttached(LimbArm1) ? 0 : 1;
        leg1 += model.isAttached(LimbLeg1) ? 0 : 1;
    }
    EXPECT_NEAR(arm1, Trials / 2, Trials / 10);
    EXPECT_NEAR(leg1, Trials / 2, Trials / 10);
}

TEST(StickFigModelTest, AStumpBleedsForDripTimeInTwentyMillisecondTicks) {
    Settings::instance().setInt("dripTime", 1000);
    StickFigModel model(Green);
    model.detachPart(HeadPart, Dead);
    for (int tick = 0; tick < 49; ++tick) {
        model.update(20);
    }
    EXPECT_EQ(model.bleedTime(LimbHead), 20);
    model.update(20);
    EXPECT_EQ(model.bleedTime(LimbHead), 0);
    for (int tick = 0; tick < 10; ++tick) {
        model.update(20);
    }
    EXPECT_EQ(model.bleedTime(LimbHead), 0) << "a dry stump stays dry";
    EXPECT_EQ(model.bleedTime(LimbArm1), 1000) << "a limb still on does not count down";

    Settings::instance().setInt("dripTime", 5);
    EXPECT_EQ(StickFigModel(Green).bleedTime(LimbLeg2), 1000) << "read once per process";
}

TEST(StickFigModelTest, ACountdownThatMissesZeroKeepsFalling) {
    Settings::instance().setInt("dripTime", 1010);
    StickFigModel model(Green);
    model.detachPart(ArmPart, Alive);
    for (int tick = 0; tick < 50; ++tick) {
        model.update(20);
    }
    EXPECT_EQ(model.bleedTime(LimbArm1), 10);
    model.update(20);
    EXPECT_EQ(model.bleedTime(LimbArm1), -10);
    model.update(20);
    EXPECT_EQ(model.bleedTime(LimbArm1), -30);
}

TEST(StickFigModelTest, AFullHandTakesTheNewWeaponWithAWarning) {
    StickFigModel model(Green);
    Stick first(Green);
    Stick second(Green);
    model.setWeapon(&first);
    EXPECT_EQ(model.getWeapon(), &first);

    testing::internal::CaptureStderr();
    model.setWeapon(&second);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(model.getWeapon(), &second);

    model.clearWeapon();
    EXPECT_EQ(model.getWeapon(), nullptr);
}

}  // namespace
