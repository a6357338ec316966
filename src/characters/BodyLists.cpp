#include "characters/BodyLists.h"

#include "core/Settings.h"

namespace {

// Settings: read at every build, so the boss lists take the values in force when the boss
// is built.
struct Radii {
    float stick;
    float head;
};
Radii playerRadii() {
    Settings& settings = Settings::instance();
    return {settings.getFloatWithin("stickRadius", limits::bodySize), settings.getFloatWithin("headRadius", limits::bodySize)};
}
Radii bossRadii() {
    Settings& settings = Settings::instance();
    return {settings.getFloatWithin("bossStickRadius", limits::bodySize), settings.getFloatWithin("bossHeadRadius", limits::bodySize)};
}

constexpr float PlayerTorso = 3.0f;
constexpr float PlayerLimb = 1.2f;
constexpr float BossTorso = 4.5f;
constexpr float BossLimb = 1.8f;
constexpr int Slices = 16;
constexpr int Stacks = 16;

// A cylinder of `length` centred on the origin, lying along the y axis.
void compileStick(GLUquadric* quadric, float radius, float length) {
    glPushMatrix();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, -length / 2.0f);
    gluCylinder(quadric, radius, radius, length, Slices, Stacks);
    glPopMatrix();
}

void compileBall(GLUquadric* quadric, float radius) {
    glPushMatrix();
    gluSphere(quadric, radius, Slices, Stacks);
    glPopMatrix();
}

}  // namespace

BodyLists& BodyLists::instance() {
    static BodyLists lists;
    return lists;
}

BodyLists::BodyLists() : quadric(gluNewQuadric()) {}

BodyLists::ListSet::~ListSet() {
    if (base != 0) {
        glDeleteLists(base, PartsPerSet);
    }
}

void BodyLists::ListSet::build(GLUquadric* q, float stickRadius, float headRadius,
                               float torsoLength, float limbLength) {
    if (base != 0) {
        glDeleteLists(base, PartsPerSet);
    }
    base = glGenLists(PartsPerSet);
    if (base == 0 || q == nullptr) {
        base = 0;
        return;
    }
    for (int part = 0; part < PartsPerSet; ++part) {
        glNewList(base + static_cast<GLuint>(part), GL_COMPILE);
        switch (part) {
            case Torso:
                compileStick(q, stickRadius, torsoLength);
                break;
            case JointBall:
                compileBall(q, stickRadius);
                break;
            case HeadBall:
                compileBall(q, headRadius);
                break;
            default:
                compileStick(q, stickRadius, limbLength);
                break;
        }
        glEndList();
    }
}

void BodyLists::buildPlayerLists() {
    const Radii radii = playerRadii();
    player.build(quadric.get(), radii.stick, radii.head, PlayerTorso, PlayerLimb);
}

void BodyLists::buildBossLists() {
    const Radii radii = bossRadii();
    boss.build(quadric.get(), radii.stick, radii.head, BossTorso, BossLimb);
}

GLuint BodyLists::listName(int index) const {
    if (index < 0 || index >= ListCount) {
        return 0;
    }
    return index < BossSet ? player.name(index) : boss.name(index - BossSet);
}

void BodyLists::callPart(int index) const {
    const GLuint list = listName(index);
    if (list != 0) {
        glCallList(list);
    }
}
