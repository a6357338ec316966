#pragma once

#include <GL/gl.h>

// The shared parts every stick figure is drawn from: one set of seven at player size and
// one at boss size. Each stick is centred on the origin along the y axis and each ball on
// the origin, so a figure is drawn by moving to a part's centre and drawing it. The torso
// is a display list; the limb bones and balls are shaped for the eye at each draw
// (ShapeLists).
class BodyLists {
public:
    // Part order inside a set of seven.
    enum Part : int {
        Torso = 0,
        UpperArm = 1,
        LowerArm = 2,
        UpperLeg = 3,
        LowerLeg = 4,
        JointBall = 5,
        HeadBall = 6,
    };
    static constexpr int PartsPerSet = 7;
    static constexpr int PlayerSet = 0;
    static constexpr int BossSet = PartsPerSet;
    static constexpr int ListCount = 2 * PartsPerSet;

    static BodyLists& instance();

    BodyLists(const BodyLists&) = delete;
    BodyLists& operator=(const BodyLists&) = delete;

    // Builds parts 0-6 from "stickRadius" and "headRadius"; needs a GL context.
    void buildPlayerLists();
    // Builds parts 7-13 from "bossStickRadius" and "bossHeadRadius"; needs a GL context.
    void buildBossLists();
    // Draws part `index` (0-13); an index outside that range or a set not built yet
    // draws nothing.
    void callPart(int index) const;

private:
    // The parts of one size: the torso's display list, freed with its owner, and the
    // sizes of the rest.
    class PartSet {
    public:
        PartSet() = default;
        ~PartSet();
        PartSet(const PartSet&) = delete;
        PartSet& operator=(const PartSet&) = delete;

        void build(float stickRadius, float headRadius, float torsoLength, float limbLength);
        void draw(int part) const;

    private:
        void release();

        GLuint torso = 0;
        float stickRadius = 0.0f;
        float headRadius = 0.0f;
        float limb = 0.0f;
    };

    BodyLists() = default;

    PartSet player;
    PartSet boss;
};
