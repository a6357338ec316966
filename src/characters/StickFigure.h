#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "characters/BodyParts.h"
#include "characters/StickFigModel.h"
#include "world/ClonePtr.h"
#include "world/Color.h"
#include "world/Handle.h"
#include "world/Object.h"

// What a figure is doing; each state plays one animation on the model.
enum class FigureState : int32_t {
    Standing = 0,
    Walking = 1,
    PunchStart = 2,
    PunchFinish = 3,
    SwingStart = 4,
    SwingFinish = 5,
    RipStart = 6,
    RipFinish = 7,
    PickupStart = 8,
    PickupFinish = 9,
    BazookaStart = 10,
    BazookaFinish = 11,
    Throwing = 12,
    Dead = 13,
    Recoiling = 14,
};

// The fighting character shared by players, enemies and the boss: walks, punches,
// swings a held stick, throws a held head, tears limbs off enemies, picks up sticks,
// heads and whole corpses, fires a carried corpse as a bazooka, recoils, dies and
// topples. Controls and AI drive it only through its virtual operations; collisions
// reach it only as messages. A held object is out of the world and owned here.
class StickFigure : public Object {
public:
    explicit StickFigure(const Color& color);
    ~StickFigure() override;

    std::unique_ptr<Object> clone() const override;
    void update(int milliseconds) override;
    void afterUpdate() override;
    void draw() override;
    void rememberTickStart(unsigned tick) override;
    const RegionList& regions() const override;
    void message(Object* from, int message) override;
    // The boss calls a wave: a stripped corpse may dissolve.
    void disintegrate() override;
    void digest(StateHasher& h) const override;

    // Controls or AI: walk by d this tick (only while standing or walking).
    virtual void move(const Vec3& d);
    // Controls or AI: punch, swing, throw or fire, as the held object decides.
    virtual void attack();
    // The level arms a new enemy: o goes into the empty hand.
    virtual void takeWeapon(std::unique_ptr<Object> o);
    // Controls or AI: rip or pick up the part asked for from what lies within reach.
    virtual void pickUp(PartKind k);
    // Controls or AI: put the held object into the world (only while standing or walking).
    virtual Object* dropWeapon();
    // Anyone: what the hand holds, or null.
    virtual Object* heldWeapon() const;
    // Anyone: whether part k could be torn off now.
    virtual bool canLoseLimb(PartKind k) const;
    // A ripping or picking figure tears off a part; the caller owns the result.
    virtual std::unique_ptr<Object> loseLimb(PartKind k);
    // Health ran out.
    virtual void die();
    virtual float healthFraction() const;
    virtual bool isDead() const;
    // Dead, fully toppled and the corpse time has run out.
    virtual bool isGone() const;
    // Arcade mode revives a dead player where it lies.
    virtual void respawn();
    virtual void setFacingLeft(bool left);
    virtual void punch();
    virtual void swingStick();
    virtual void takeDamage(float amount);

    void stand();
    void walk();
    Object* releaseWeapon();
    void heal(float amount);
    void setBazooka(bool value) { isBazooka = value; }
    void setRipper(StickFigure* r) { ripper = r; }
    void clearRipper(StickFigure* r);
    bool isBeingRipped() const { return ripper.isSet(); }
    void setColor(const Color& c);
    void setHealth(float value) { health = value; }
    void setMaxHealth(float value) { maxHealth = value; }

    FigureState getFigureState() const { return figureState; }
    // Whether move would take a step now: only a standing or walking figure can.
    bool canWalk() const { return figureState == FigureState::Standing || figureState == FigureState::Walking; }
    bool isFacingLeft() const { return facingLeft; }
    bool isCarriedAsBazooka() const { return isBazooka; }
    float getHealth() const { return health; }
    float getMaxHealth() const { return maxHealth; }
    const Color& getColor() const { return color; }
    bool hasAnyLimb() const { return model.hasAnyLimb(); }
    const StickFigModel& getModel() const { return model; }
    StickFigModel& getModel() { return model; }
    int getHitCooldown() const { return hitCooldown; }
    float getFall() const { return fall; }
    Object* getGrabTarget() const { return grabTarget.get(); }

protected:
    // The clone of a figure of kind T: a copy of every field, whose model then holds the
    // copy's own weapon.
    template <typename T>
    static std::unique_ptr<Object> copyOf(const T& figure) {
        auto copy = std::make_unique<T>(figure);
        copy->holdCopiedWeapon();
        return copy;
    }

    // Called as the figure dies: it lets go of every object it points at. Dead, it hears
    // no more messages (not even Removed), and a corpse carried out of the world hears
    // nothing at all, so any pointer kept past death could outlive its object.
    virtual void forgetOthers();

    // What sent PickupTouch since the last update.
    std::vector<Handle<Object>> candidates;

private:
    void holdCopiedWeapon();
    // Whether a new blow or shot may start: standing, walking, or reeling from a hit.
    bool readyToStrike() const;
    void takeHit(Object* attacker);
    void splash(int kind, const Object* attacker) const;
    void recoil();
    void completeRip();
    void completePickup();
    void fire();
    void throwHead();
    void launchHead(class Head& head, bool shot);
    // A figure knocked out of a rip lets go of its victim, which would otherwise stay
    // frozen as "being ripped" for as long as the ripper lives.
    void abandonGrab();
    void beginGrab(FigureState grabState, const char* animation, Object* target);
    const char* animationFor(const char* none, const char* weaponHeld, const char* bazookaHeld) const;

    ClonePtr<Object> weapon;
    bool facingLeft = false;
    FigureState figureState = FigureState::Standing;
    bool isBazooka = false;
    bool movedThisTick = false;
    int32_t hitCooldown = 0;
    StickFigModel model;
    Color color;
    float fall = 0.0f;
    float tickStartFall = 0.0f;
    int32_t corpseTimer = 0;
    float health = 100.0f;
    float maxHealth = 100.0f;
    Handle<Object> grabTarget;
    Handle<StickFigure> ripper;
    PartKind wantedPart = WholeBody;
};
