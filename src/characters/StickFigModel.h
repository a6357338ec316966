#pragma once

#include <array>
#include <memory>
#include <string>

#include "characters/AnimationPlayer.h"
#include "characters/BodyParts.h"
#include "render/BossLook.h"
#include "world/Color.h"

class Object;

// The body of a stick figure: its pose, which of the five detachable parts are still on,
// how long each stump still bleeds, the animation playing on it, its colour, what the
// hand holds and its size. It draws itself from the shared BodyLists and decides which
// parts can be torn off. Joints (degrees): 0 neck, 1 waist, 2/3 shoulder yaw of arm
// 2/1, 4/5 shoulder roll, 6/7 elbow pitch, 8/9 elbow yaw, 10/11 hip pitch of leg 2/1,
// 12/13 hip yaw, 14/15 knee pitch, 16/17 knee yaw.
class StickFigModel {
public:
    explicit StickFigModel(const Color& color);

    // Counts the stumps' bleeding down, then steps the animation.
    void update(unsigned milliseconds);
    // Draws the figure standing on the current origin; needs a GL context. `blend` below 1
    // draws each joint that far from its angle at the tick's start to its present one.
    void draw(double blend = 1.0) const;
    // Once per gameplay tick, before the figure moves: keeps the pose for frames drawn
    // before the next tick.
    void rememberTickStart() { tickStartPose = pose; }

    // Stores the angle brought into 0..360; an index outside 0-17 only complains.
    void setJoint(int index, float angle);
    void setPose(const Pose& angles) { pose = angles; }
    const Pose& getPose() const { return pose; }

    void loop(const std::string& name) { player.loop(name); }
    void playOnce(const std::string& name) { player.playOnce(name); }
    bool isPlaying() const { return player.isPlaying(); }
    unsigned elapsed() const { return player.elapsed(); }
    unsigned totalDuration() const { return player.totalDuration(); }
    const AnimationPlayer& animationPlayer() const { return player; }

    // The model draws `w` in the hand (or on the shoulder, for a whole figure) but does
    // not own it. A second weapon replaces the first with a warning.
    void setWeapon(Object* w);
    void clearWeapon() { weapon = nullptr; }
    Object* getWeapon() const { return weapon; }

    bool canLose(PartKind kind, bool alive) const;
    // Tears off the part asked for, or the first one that can go, as a Stick or a Head in
    // the figure's colour; null when nothing can be torn off.
    std::unique_ptr<Object> detachPart(PartKind kind, bool alive);
    bool hasAnyLimb() const;
    bool isAttached(Limb limb) const { return attached[limb]; }
    int bleedTime(Limb limb) const { return bleed[limb]; }

    void setColor(const Color& c) { color = c; }
    const Color& getColor() const { return color; }

    // One and a half times the size, drawn from the boss lists.
    void makeBossSize();
    // What the head wears; only drawing reads it.
    void setLook(const BossLook& value) { look = value; }
    const BossLook& getLook() const { return look; }
    const std::array<int, 7>& getPartList() const { return partList; }
    // Height of the torso's centre above the feet.
    float torsoCentreHeight() const;

private:
    void detach(Limb limb) { attached[limb] = false; }
    void drawArm2(const Pose& shown) const;
    void drawArm1(const Pose& shown) const;
    void drawHead(const Pose& shown) const;
    void drawLeg(const Pose& shown, Limb limb, int hipPitch, int hipYaw, int kneePitch, int kneeYaw) const;
    Pose blendedPose(double blend) const;
    void drawPart(int part) const;
    void spurt(Limb limb, double dx, double dy, double dz) const;

    Pose pose;
    Pose tickStartPose;
    std::array<bool, LimbCount> attached;
    std::array<int, LimbCount> bleed;
    AnimationPlayer player;
    Color color;
    Object* weapon = nullptr;
    std::array<int, 7> partList;
    float headRadius;
    float stickRadius;
    float torsoLength = 3.0f;
    float upperArmLength = 1.2f;
    float lowerArmLength = 1.2f;
    float upperLegLength = 1.2f;
    float lowerLegLength = 1.2f;
    BossLook look;
};
