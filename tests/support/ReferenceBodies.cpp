#include "support/ReferenceBodies.h"

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

namespace {

constexpr int Fine = 16;
constexpr int PartsPerSize = 7;

void compileStick(GLUquadric* quadric, float radius, float length) {
    glPushMatrix();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, -length / 2.0f);
    gluCylinder(quadric, radius, radius, length, Fine, Fine);
    glPopMatrix();
}

GLuint compileParts(GLUquadric* quadric, float stick, float head, float torso, float limb) {
    const GLuint base = glGenLists(PartsPerSize);
    for (int part = 0; part < PartsPerSize; ++part) {
        glNewList(base + part, GL_COMPILE);
        if (part == BodyLists::Torso) {
            compileStick(quadric, stick, torso);
        } else if (part == BodyLists::JointBall) {
            gluSphere(quadric, stick, Fine, Fine);
        } else if (part == BodyLists::HeadBall) {
            gluSphere(quadric, head, Fine, Fine);
        } else {
            compileStick(quadric, stick, limb);
        }
        glEndList();
    }
    return base;
}

float setting(const char* key) { return Settings::instance().getFloat(key); }

const double DropFan[10][2] = {{0, 0},  {1, -1},    {1.6, 0}, {1, 1},  {0, 1.2},
                               {-1, 1}, {-1.9, 0}, {-1, -1}, {0, -1.1}, {1, -1}};
const double SplatFan[10][2] = {{0, 0},  {1, -1},    {1.7, 0}, {1, 1},  {0, 1.8},
                                {-1, 1}, {-1.6, 0}, {-1, -1}, {0, -1.9}, {1, -1}};

void drawSplat(const InkParticle& splat) {
    glPushMatrix();
    glColor4dv(splat.colour.data());
    glTranslated(splat.position.x, splat.position.y, splat.position.z);
    glRotated(splat.angle, 0.0, 1.0, 0.0);
    glScaled(splat.size, 1.0, splat.size);
    glBegin(GL_TRIANGLE_FAN);
    for (const auto& point : SplatFan) {
        glVertex3d(point[0], 0.0, point[1]);
    }
    glEnd();
    glPopMatrix();
}

}  // namespace

ReferenceBodies::ReferenceBodies() : quadric(gluNewQuadric()) {
    player = {compileParts(quadric, setting("stickRadius"), setting("headRadius"), 3.0f, 1.2f),
              setting("headRadius"), 3.0f, 1.2f};
    boss = {compileParts(quadric, setting("bossStickRadius"), setting("bossHeadRadius"), 4.5f, 1.8f),
            setting("bossHeadRadius"), 4.5f, 1.8f};
}

ReferenceBodies::~ReferenceBodies() {
    glDeleteLists(player.lists, PartsPerSize);
    glDeleteLists(boss.lists, PartsPerSize);
    gluDeleteQuadric(quadric);
}

void ReferenceBodies::drawFigure(const StickFigModel& model) const {
    const Size& size = model.getPartList()[0] >= BodyLists::BossSet ? boss : player;
    const Pose& pose = model.getPose();
    const float centre = size.torso / 2 + (size.limb + size.limb) * 0.9f;
    glColor4dv(model.getColor().data());
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
    glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, centre, 0.0f);

    glPushMatrix();
    glRotatef(pose[1], 0.0f, 1.0f, 0.0f);
    glCallList(size.lists + BodyLists::Torso);
    drawArm2(model, size);
    drawArm1(model, size);
    glPushMatrix();
    glTranslatef(0.0f, size.torso / 2, 0.0f);
    glRotatef(pose[0], 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, size.headRadius / 5, 0.0f);
    if (model.isAttached(LimbHead)) {
        glCallList(size.lists + BodyLists::HeadBall);
    }
    glPopMatrix();
    glPopMatrix();

    drawLeg(model, size, LimbLeg2);
    drawLeg(model, size, LimbLeg1);
    glPopMatrix();
}

void ReferenceBodies::drawArm2(const StickFigModel& model, const Size& size) const {
    const Pose& pose = model.getPose();
    if (!model.isAttached(LimbArm2)) {
        return;
    }
    glPushMatrix();
    glTranslatef(0.0f, size.torso / 5, 0.0f);
    glRotatef(pose[2], 0.0f, 1.0f, 0.0f);
    glRotatef(pose[4], 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, size.limb / 2, 0.0f);
    glCallList(size.lists + BodyLists::UpperArm);
    glTranslatef(0.0f, size.limb / 2, 0.0f);
    glCallList(size.lists + BodyLists::JointBall);
    glRotatef(pose[8], 0.0f, 1.0f, 0.0f);
    glRotatef(pose[6], 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, size.limb / 2, 0.0f);
    glCallList(size.lists + BodyLists::LowerArm);
    glTranslatef(0.0f, size.limb / 2, 0.0f);
    glCallList(size.lists + BodyLists::JointBall);
    if (const Stick* stick = dynamic_cast<const Stick*>(model.getWeapon())) {
        glRotatef(40.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef(size.limb, 0.0f, 0.0f);
        drawStick(*stick);
        glColor4dv(model.getColor().data());
    } else if (const Head* head = dynamic_cast<const Head*>(model.getWeapon())) {
        drawHead(*head);
        glColor4dv(model.getColor().data());
    }
    glPopMatrix();
}

void ReferenceBodies::drawArm1(const StickFigModel& model, const Size& size) const {
    const Pose& pose = model.getPose();
    glPushMatrix();
    glTranslatef(0.0f, size.torso / 5, 0.0f);
    glRotatef(pose[3], 0.0f, 1.0f, 0.0f);
    if (model.isAttached(LimbArm1)) {
        glRotatef(pose[5], 0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::UpperArm);
        glTranslatef(0.0f, size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::JointBall);
        glRotatef(pose[9], 0.0f, 1.0f, 0.0f);
        glRotatef(pose[7], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::LowerArm);
        glTranslatef(0.0f, size.limb / 2, 0.0f);
    }
    glCallList(size.lists + BodyLists::JointBall);
    glPopMatrix();
}

void ReferenceBodies::drawLeg(const StickFigModel& model, const Size& size, int leg) const {
    const Pose& pose = model.getPose();
    const int side = leg == LimbLeg1 ? 1 : 0;
    glPushMatrix();
    glTranslatef(0.0f, -size.torso / 2, 0.0f);
    glCallList(size.lists + BodyLists::JointBall);
    if (model.isAttached(static_cast<Limb>(leg))) {
        glRotatef(pose[12 + side], 0.0f, 1.0f, 0.0f);
        glRotatef(pose[10 + side], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, -size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::UpperLeg);
        glTranslatef(0.0f, -size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::JointBall);
        glRotatef(pose[16 + side], 0.0f, 1.0f, 0.0f);
        glRotatef(pose[14 + side], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, -size.limb / 2, 0.0f);
        glCallList(size.lists + BodyLists::LowerLeg);
        glTranslatef(0.0f, -size.limb / 2, 0.0f);
    }
    glCallList(size.lists + BodyLists::JointBall);
    glPopMatrix();
}

void ReferenceBodies::drawStick(const Stick& stick) const {
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4dv(stick.getColour().data());
    glPushMatrix();
    glTranslated(stick.position.x, stick.position.y, stick.position.z);
    glTranslated(-1.2, 0.0, 0.0);
    glRotated(90.0, 0.0, 1.0, 0.0);
    gluCylinder(quadric, setting("stickRadius"), setting("stickRadius"), 2.4, Fine, Fine);
    glPopMatrix();
}

void ReferenceBodies::drawHead(const Head& head) const {
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4dv(head.getColour().data());
    glPushMatrix();
    glTranslated(head.position.x, head.position.y, head.position.z);
    gluSphere(quadric, setting("headRadius"), Fine, Fine);
    glPopMatrix();
}

void ReferenceBodies::drawInk(const Ink& ink) const {
    glBindTexture(GL_TEXTURE_2D, 0);
    for (int i = 0; i < ink.particleCount(); ++i) {
        const InkParticle& drop = ink.particle(i);
        glPushMatrix();
        glColor4dv(drop.colour.data());
        glTranslated(drop.position.x, drop.position.y, drop.position.z);
        glRotated(drop.angle, 0.0, 0.0, 1.0);
        glScaled(drop.size, drop.size, 1.0);
        glBegin(GL_TRIANGLE_FAN);
        for (const auto& point : DropFan) {
            glVertex3d(point[0], point[1], 0.0);
        }
        glEnd();
        glPopMatrix();
    }
    // Splats tie in depth; without depth writes the later one covers, as in the game.
    glDepthMask(GL_FALSE);
    for (int i = 0; i < ink.splatCount(); ++i) {
        drawSplat(ink.splat(i));
    }
    for (int i = 0; i < ink.fadingCount(); ++i) {
        drawSplat(ink.fadingSplat(i));
    }
    glDepthMask(GL_TRUE);
}
