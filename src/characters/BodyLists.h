#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <memory>

// The shared display lists every stick figure is drawn from: one set of seven parts at
// player size and one at boss size. Each stick is centred on the origin along the y
// axis, so a figure is drawn by moving to a part's centre and calling its list.
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

    // Compiles lists 0-6 from "stickRadius" and "headRadius"; needs a GL context.
    void buildPlayerLists();
    // Compiles lists 7-13 from "bossStickRadius" and "bossHeadRadius"; needs a GL context.
    void buildBossLists();
    // Calls list `index` (0-13); an index outside that range or a set not built yet
    // draws nothing.
    void callPart(int index) const;
    // The GL name behind list `index`; 0 when out of range or not built yet.
    GLuint listName(int index) const;

private:
    // Seven consecutive display-list names, freed with their owner.
    class ListSet {
    public:
        ListSet() = default;
        ~ListSet();
        ListSet(const ListSet&) = delete;
        ListSet& operator=(const ListSet&) = delete;

        void build(GLUquadric* quadric, float stickRadius, float headRadius, float torsoLength,
                   float limbLength);
        GLuint name(int part) const { return base == 0 ? 0 : base + static_cast<GLuint>(part); }

    private:
        GLuint base = 0;
    };

    struct QuadricDeleter {
        void operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
    };

    BodyLists();

    std::unique_ptr<GLUquadric, QuadricDeleter> quadric;
    ListSet player;
    ListSet boss;
};
