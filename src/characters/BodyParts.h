#pragma once

#include <array>

// The five parts that can come off a figure; index into attached / bleed.
enum Limb : int {
    LimbHead = 0,
    LimbArm1 = 1,
    LimbArm2 = 2,  // the hand that holds a stick or a head
    LimbLeg1 = 3,
    LimbLeg2 = 4,
};
constexpr int LimbCount = 5;

// What a rip or a pick-up asks for.
enum PartKind : int {
    ArmPart = 0,
    LegPart = 1,
    HeadPart = 2,
    WholeBody = 3,
};

constexpr int JointCount = 18;
// The 18 joint angles of a figure, in degrees.
using Pose = std::array<float, JointCount>;
