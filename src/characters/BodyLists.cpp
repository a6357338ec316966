#include "characters/BodyLists.h"

#include "core/Settings.h"
#include "render/ShapeLists.h"

namespace {

// Settings: read at every build, so the boss parts take the values in force when the
// boss is built.
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

// Turns the unit tube along z into a stick of `length` centred on the origin along the y
// axis.
void placeStick(float radius, float length) {
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, -length / 2.0f);
    glScalef(radius, radius, length);
}

}  // namespace

BodyLists& BodyLists::instance() {
    static BodyLists lists;
    return lists;
}

BodyLists::PartSet::~PartSet() { release(); }

void BodyLists::PartSet::release() {
    if (torso != 0) {
        glDeleteLists(torso, 1);
        torso = 0;
    }
}

void BodyLists::PartSet::build(float stick, float head, float torsoLength, float limbLength) {
    release();
    // The tube must exist before a list that calls it is compiled.
    ShapeLists::instance().build();
    torso = glGenLists(1);
    if (torso == 0) {
        return;
    }
    // The torso's top shows when the head is gone, so it has its ends.
    glNewList(torso, GL_COMPILE);
    glPushMatrix();
    placeStick(stick, torsoLength);
    ShapeLists::instance().drawClosedTube();
    glPopMatrix();
    glEndList();
    stickRadius = stick;
    headRadius = head;
    limb = limbLength;
}

void BodyLists::PartSet::draw(int part) const {
    if (torso == 0) {
        return;
    }
    switch (part) {
        case Torso:
            glCallList(torso);
            break;
        case JointBall:
            ShapeLists::instance().drawBall(stickRadius);
            break;
        case HeadBall:
            ShapeLists::instance().drawBall(headRadius);
            break;
        default:
            // A limb bone ends in joint balls or inside the torso.
            glPushMatrix();
            placeStick(stickRadius, limb);
            ShapeLists::instance().drawOpenTube();
            glPopMatrix();
            break;
    }
}

void BodyLists::buildPlayerLists() {
    const Radii radii = playerRadii();
    player.build(radii.stick, radii.head, PlayerTorso, PlayerLimb);
}

void BodyLists::buildBossLists() {
    const Radii radii = bossRadii();
    boss.build(radii.stick, radii.head, BossTorso, BossLimb);
}

void BodyLists::callPart(int index) const {
    if (index < 0 || index >= ListCount) {
        return;
    }
    if (index < BossSet) {
        player.draw(index);
    } else {
        boss.draw(index - BossSet);
    }
}
