#pragma once

#include "characters/StickFigure.h"

class Player;

// The computer-controlled stick figure of kind 0..3. StickFigure does the fighting;
// this class only decides, once per tick, whom to fight, when to wait its turn, when to
// fetch something to hit with, how to walk round an obstacle and when to strike.
// Enemies share the AttackerTally so that no more than maxAttackers press one player.
class Enemy : public StickFigure {
public:
    // What the enemy is doing; any other value falls back to Decide.
    enum Behaviour : int {
        Decide = 0,
        ApproachPlayer1 = 1,
        ApproachPlayer2 = 2,
        ThrowAtPlayer1 = 3,
        ThrowAtPlayer2 = 4,
        FetchWeapon = 5,
        HoldOff = 6,
        Striking = 7,
        Idle = 8,
    };

    explicit Enemy(int kind);
    ~Enemy() override;

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void update(int milliseconds) override;
    // Forgets a target that was killed this tick, before the world deletes it; an enemy
    // killed itself gives up its claim.
    void afterUpdate() override;
    void message(Object* from, int message) override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    int getKind() const { return kind; }
    int getState() const { return state; }
    void setState(int value) { state = value; }
    Object* getTarget() const { return target.get(); }
    float getSpeedFactor() const { return speedFactor; }
    double getWeaponChance() const { return weaponChance; }
    double getBodyChance() const { return bodyChance; }
    int getStartDelay() const { return startDelay; }
    bool isWaiting() const { return waiting; }
    int getDetourSide() const { return detourSide; }

protected:
    void forgetOthers() override;
    // Player `slot` (1 or 2) while it is in the game and alive, else null.
    static Player* livingPlayer(int slot);
    // The target was killed since it was chosen (it is about to be deleted) or has left
    // the world already.
    bool targetLeft() const;
    // The walk-in part of ApproachPlayer once `target` is settled: back to Decide without
    // a target, into Striking when in range, otherwise a step towards a place beside it.
    void approachTarget(int milliseconds);
    void strike(int milliseconds);
    bool inStrikingRange(const Vec3& p);
    void steerTowards(const Vec3& goal);

    int state = Decide;
    Handle<Object> target;
    int attackInterval = 1200;
    int attackJitter = 0;
    int attackTimer = 1200;

private:
    void decide();
    void fight(int slot, Object* wanted);
    // Makes living player `slot` the target and counts this enemy against it.
    void claim(int slot);
    // Stops counting against the claimed player; `target` stays as it is.
    void release();
    // Any new target (a weapon, a player or none) ends the claim first.
    void retarget(Object* newTarget);
    void startFetch(Object* weapon);
    void holdOffOrFetch(Object* wanted);
    // Makes living player `slot` the target (counting the claim), or none if it is gone.
    void followPlayer(int slot);
    void approach(int slot, int milliseconds);
    // Watches a walk for a second at a time: an enemy that got nowhere (another enemy
    // stands on its place beside the player) heads for the other place instead, until
    // the jam clears.
    void watchForJam(int milliseconds);
    // The jam is over once the enemy stands within reach of its player, or has a new
    // decision to make: from then on the nearer place beside a player is its goal again.
    void clearJam();
    void throwAt(int slot);
    void fetch(int milliseconds);
    void holdOff();
    void keepDistance(const Player& player, double distance);
    void tryPickUp();
    // The weapon worth fetching under the current roll, or null.
    Object* wantedWeapon() const;
    // ApproachPlayer1 or 2 for a target that is that living player; `state` otherwise.
    int approachStateFor(const Object* figure) const;
    Vec3 detour(const Vec3& direction, const Vec3& centre, double clearance);
    Vec3 escape(const Vec3& direction, const Vec3& centre);

    int kind = 0;
    int startDelay = 750;
    int startTimer = 0;
    float speedFactor = 0.6f;
    double weaponChance = 0.0;
    double roll = 0.0;
    double bodyChance = 0.0;
    double bodyRoll = 0.0;
    double preferStickRange = 5.0;
    double throwDepthTolerance = 1.5;
    double obstacleClearance = 0.5;
    int detourSide = 0;
    double holdNear = 10.0;
    double holdFar = 13.0;
    bool waiting = false;
    bool thrown = false;
    int maxAttackers = 3;
    // The tally counts this enemy against this player slot (0: none); only while
    // `target` is that living player.
    int claimedSlot = 0;
    bool otherStandPoint = false;
    Vec3 jamMark;
    int jamClock = 0;
    double fetchClosest = 0.0;
    int fetchStalled = 0;
    int fetchPause = 0;
};
