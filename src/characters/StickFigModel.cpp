#include "characters/StickFigModel.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <iostream>

#include "characters/BodyLists.h"
#include "characters/StickFigure.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/FaceCulling.h"
#include "render/TextureManager.h"
#include "world/Head.h"
#include "world/ParticleEffect.h"
#include "world/Stick.h"

namespace {

// Settings: "dripTime" by the first model built after the settings changed; the radii
// by every model, so each takes the values in force when it is built.
int dripTime() {
    static SettingsCache<int> value([] { return Settings::instance().getIntWithin("dripTime", limits::duration); });
    return value.get();
}
float playerHeadRadius() { return Settings::instance().getFloatWithin("headRadius", limits::bodySize); }
float playerStickRadius() { return Settings::instance().getFloatWithin("stickRadius", limits::bodySize); }
float bossHeadRadius() { return Settings::instance().getFloatWithin("bossHeadRadius", limits::bodySize); }
float bossStickRadius() { return Settings::instance().getFloatWithin("bossStickRadius", limits::bodySize); }

constexpr float LegStance = 0.9f;
constexpr float ThreeQuarterView = 30.0f;

bool coinToss() { return random15() * 2.0 / 32768.0 >= 1.0; }

}  // namespace

StickFigModel::StickFigModel(const Color& c)
    : pose{0, 0, 0, 0, 90, -90, 90, 90, 90, -90, 30, 30, 90, -90, 0, 0, 0, 0},
      color(c),
      partList{BodyLists::Torso,    BodyLists::UpperArm,  BodyLists::LowerArm, BodyLists::UpperLeg,
               BodyLists::LowerLeg, BodyLists::JointBall, BodyLists::HeadBall},
      headRadius(playerHeadRadius()),
      stickRadius(playerStickRadius()) {
    attached.fill(true);
    bleed.fill(dripTime());
    tickStartPose = pose;
}

void StickFigModel::update(unsigned milliseconds) {
    for (int limb = 0; limb < LimbCount; ++limb) {
        if (!attached[limb] && bleed[limb] != 0) {
            bleed[limb] -= static_cast<int>(milliseconds);
        }
    }
    player.update(milliseconds, pose);
}

void StickFigModel::setJoint(int index, float angle) {
    if (index < 0 || index >= JointCount) {
        std::cerr << "Bad joint index" << std::endl;
        return;
    }
    pose[index] = AnimationPlayer::wrapAngle(angle);
}

void StickFigModel::setWeapon(Object* w) {
    if (weapon != nullptr && w != weapon) {
        std::cerr << "Warning: a figure took a weapon with its hand full; the new one replaces it"
                  << std::endl;
    }
    weapon = w;
}

bool StickFigModel::canLose(PartKind kind, bool alive) const {
    switch (kind) {
        case ArmPart:
            return alive ? attached[LimbArm1] : attached[LimbArm1] || attached[LimbArm2];
        case LegPart:
            return !alive && (attached[LimbLeg1] || attached[LimbLeg2]);
        case HeadPart:
            return !alive && attached[LimbHead];
        case WholeBody:
            return !alive && attached[LimbHead] && attached[LimbArm1] && attached[LimbArm2] &&
                   attached[LimbLeg1] && attached[LimbLeg2];
    }
    return false;
}

std::unique_ptr<Object> StickFigModel::detachPart(PartKind kind, bool alive) {
    if (alive) {
        kind = ArmPart;
    } else if (!canLose(kind, false)) {
        for (const PartKind fallback : {ArmPart, LegPart, HeadPart, WholeBody}) {
            if (canLose(fallback, false)) {
                kind = fallback;
                break;
            }
        }
    }
    switch (kind) {
        case ArmPart:
            if (alive) {
                if (!attached[LimbArm1] || !attached[LimbArm2]) {
                    return nullptr;
                }
                detach(LimbArm1);
                return std::make_unique<Stick>(color);
            }
            if (!attached[LimbArm1] && !attached[LimbArm2]) {
                return nullptr;
            }
            if (coinToss()) {
                detach(attached[LimbArm1] ? LimbArm1 : LimbArm2);
            } else {
                detach(attached[LimbArm2] ? LimbArm2 : LimbArm1);
            }
            return std::make_unique<Stick>(color);
        case LegPart:
            if (alive || (!attached[LimbLeg1] && !attached[LimbLeg2])) {
                return nullptr;
            }
            if (coinToss()) {
                detach(attached[LimbLeg1] ? LimbLeg1 : LimbLeg2);
            } else {
                detach(attached[LimbLeg2] ? LimbLeg2 : LimbLeg1);
            }
            return std::make_unique<Stick>(color);
        case HeadPart:
            if (alive || !attached[LimbHead]) {
                return nullptr;
            }
            detach(LimbHead);
            return std::make_unique<Head>(color);
        case WholeBody:
            break;
    }
    return nullptr;
}

bool StickFigModel::hasAnyLimb() const {
    for (const bool on : attached) {
        if (on) {
            return true;
        }
    }
    return false;
}

void StickFigModel::makeBossSize() {
    for (int part = 0; part < BodyLists::PartsPerSet; ++part) {
        partList[part] = BodyLists::BossSet + part;
    }
    headRadius = bossHeadRadius();
    stickRadius = bossStickRadius();
    torsoLength = 4.5f;
    upperArmLength = 1.8f;
    lowerArmLength = 1.8f;
    upperLegLength = 1.8f;
    lowerLegLength = 1.8f;
}

float StickFigModel::torsoCentreHeight() const {
    return torsoLength / 2 + (lowerLegLength + upperLegLength) * LegStance;
}

void StickFigModel::drawPart(int part) const { BodyLists::instance().callPart(partList[part]); }

// Each joint turns the short way round: 350 degrees to 10 passes through 0, not 180.
Pose StickFigModel::blendedPose(double blend) const {
    if (blend >= 1.0) {
        return pose;
    }
    Pose shown;
    for (int joint = 0; joint < JointCount; ++joint) {
        const float turn = std::remainder(pose[joint] - tickStartPose[joint], 360.0f);
        shown[joint] = tickStartPose[joint] + turn * static_cast<float>(blend);
    }
    return shown;
}

void StickFigModel::draw(double blend) const {
    const FaceCulling culling;
    const Pose shown = blendedPose(blend);
    glColor4dv(color.data());
    glPushMatrix();
    TextureManager::instance().unbind();
    glRotatef(ThreeQuarterView, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, torsoCentreHeight(), 0.0f);

    glPushMatrix();
    glRotatef(shown[1], 0.0f, 1.0f, 0.0f);
    drawPart(BodyLists::Torso);
    drawArm2(shown);
    drawArm1(shown);
    drawHead(shown);
    glPopMatrix();

    drawLeg(shown, LimbLeg2, 10, 12, 14, 16);
    drawLeg(shown, LimbLeg1, 11, 13, 15, 17);
    glPopMatrix();
}

void StickFigModel::drawArm2(const Pose& shown) const {
    glPushMatrix();
    if (attached[LimbArm2]) {
        glTranslatef(0.0f, torsoLength / 5, 0.0f);
        glRotatef(shown[2], 0.0f, 1.0f, 0.0f);
        glRotatef(shown[4], 0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, upperArmLength / 2, 0.0f);
        drawPart(BodyLists::UpperArm);
        glTranslatef(0.0f, upperArmLength / 2, 0.0f);
        drawPart(BodyLists::JointBall);
        glRotatef(shown[8], 0.0f, 1.0f, 0.0f);
        glRotatef(shown[6], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, lowerArmLength / 2, 0.0f);
        drawPart(BodyLists::LowerArm);
        glTranslatef(0.0f, lowerArmLength / 2, 0.0f);
        drawPart(BodyLists::JointBall);
        if (dynamic_cast<Stick*>(weapon) != nullptr) {
            glRotatef(40.0f, 1.0f, 0.0f, 0.0f);
            glTranslatef((upperArmLength + lowerArmLength) / 2, 0.0f, 0.0f);
            weapon->draw();
            glColor4dv(color.data());
        } else if (dynamic_cast<Head*>(weapon) != nullptr) {
            weapon->draw();
            glColor4dv(color.data());
        }
    } else if (bleed[LimbArm2] != 0) {
        spurt(LimbArm2, -1.0, 0.0, 0.0);
    }
    glPopMatrix();
}

void StickFigModel::drawArm1(const Pose& shown) const {
    glPushMatrix();
    glTranslatef(0.0f, torsoLength / 5, 0.0f);
    glRotatef(shown[3], 0.0f, 1.0f, 0.0f);
    if (attached[LimbArm1]) {
        glRotatef(shown[5], 0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, upperArmLength / 2, 0.0f);
        drawPart(BodyLists::UpperArm);
        glTranslatef(0.0f, upperArmLength / 2, 0.0f);
        drawPart(BodyLists::JointBall);
        glRotatef(shown[9], 0.0f, 1.0f, 0.0f);
        glRotatef(shown[7], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, lowerArmLength / 2, 0.0f);
        drawPart(BodyLists::LowerArm);
        glTranslatef(0.0f, lowerArmLength / 2, 0.0f);
    } else if (bleed[LimbArm1] != 0) {
        spurt(LimbArm1, 1.0, 0.0, 0.0);
    }
    drawPart(BodyLists::JointBall);
    glPopMatrix();
}

void StickFigModel::drawHead(const Pose& shown) const {
    glPushMatrix();
    glTranslatef(0.0f, torsoLength / 2, 0.0f);
    glRotatef(shown[0], 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, headRadius / 5, 0.0f);
    if (attached[LimbHead]) {
        drawPart(BodyLists::HeadBall);
        if (!look.plain()) {
            look.draw(headRadius);
            glColor4dv(color.data());
        }
        if (dynamic_cast<StickFigure*>(weapon) != nullptr) {
            glPushMatrix();
            glRotatef(60.0f, 0.0f, 1.0f, 0.0f);
            glTranslatef(-upperArmLength / 2, -headRadius, 0.0f);
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
            glRotatef(60.0f, 0.0f, 1.0f, 0.0f);
            glTranslatef(0.0f, -torsoCentreHeight(), 0.0f);
            weapon->draw();
            glPopMatrix();
            glColor4dv(color.data());
        }
    } else if (bleed[LimbHead] != 0) {
        spurt(LimbHead, 0.0, 1.0, 0.0);
    }
    glPopMatrix();
}

void StickFigModel::drawLeg(const Pose& shown, Limb limb, int hipPitch, int hipYaw, int kneePitch, int kneeYaw) const {
    glPushMatrix();
    glTranslatef(0.0f, -torsoLength / 2, 0.0f);
    drawPart(BodyLists::JointBall);
    if (attached[limb]) {
        glRotatef(shown[hipYaw], 0.0f, 1.0f, 0.0f);
        glRotatef(shown[hipPitch], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, -upperLegLength / 2, 0.0f);
        drawPart(BodyLists::UpperLeg);
        glTranslatef(0.0f, -upperLegLength / 2, 0.0f);
        drawPart(BodyLists::JointBall);
        glRotatef(shown[kneeYaw], 0.0f, 1.0f, 0.0f);
        glRotatef(shown[kneePitch], 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, -lowerLegLength / 2, 0.0f);
        drawPart(BodyLists::LowerLeg);
        glTranslatef(0.0f, -lowerLegLength / 2, 0.0f);
    } else if (bleed[limb] != 0) {
        spurt(limb, 0.0, -1.0, 0.0);
    }
    drawPart(BodyLists::JointBall);
    glPopMatrix();
}

void StickFigModel::spurt(Limb limb, double dx, double dy, double dz) const {
    Game& game = Game::instance();
    std::array<int, LimbCount>& firstBleed = game.getMatch().firstBleed;
    const Vec3 from = game.currentWorldPosition();
    glTranslated(dx, dy, dz);
    const Vec3 to = game.currentWorldPosition();
    // A countdown at or below 0 no longer sprays; measuring the scale against one that
    // started negative would make a stump spray more the longer it has been dry.
    if (firstBleed[limb] == 0 && bleed[limb] > 0) {
        firstBleed[limb] = bleed[limb];
    }
    if (firstBleed[limb] <= 0 || bleed[limb] <= 0) {
        return;
    }
    const ParticleEffect effect("limb");
    effect.emit(from, to - from, color, static_cast<double>(bleed[limb]) / firstBleed[limb]);
}
