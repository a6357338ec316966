#pragma once

#include <memory>

#include "characters/BodyParts.h"
#include "world/Color.h"
#include "world/Object.h"

// The fighting character shared by players, enemies and the boss.
class StickFigure : public Object {
public:
    explicit StickFigure(const Color& color);
    ~StickFigure() override;

    void update(int milliseconds) override;

    // Walk by d (only while standing or walking).
    virtual void move(const Vec3& d);
    // Punch, swing, throw or fire, as the held object decides.
    virtual void attack();
    // Take o into the empty hand.
    virtual void takeWeapon(std::unique_ptr<Object> o);
    // Rip or pick up the part asked for from what lies within reach.
    virtual void pickUp(PartKind k);
    // Put the held object into the world (only while standing or walking).
    virtual Object* dropWeapon();
    virtual Object* heldWeapon() const;
    virtual bool canLoseLimb(PartKind k) const;
    // Tear off a part; the caller owns the result.
    virtual std::unique_ptr<Object> loseLimb(PartKind k);
    virtual void die();
    virtual float healthFraction() const;
    virtual bool isDead() const;
    // Dead, fully toppled and the corpse time has run out.
    virtual bool isGone() const;
    virtual void respawn();
    virtual void setFacingLeft(bool left);
    virtual void punch();
    virtual void swingStick();
    virtual void takeDamage(float amount);

    bool hasAnyLimb() const;
    bool isFacingLeft() const { return facingLeft; }
    float getHealth() const { return health; }
    void setHealth(float value) { health = value; }
    void setMaxHealth(float value) { maxHealth = value; }
    const Color& getColor() const { return color; }
    void setColor(const Color& c) { color = c; }

protected:
    std::unique_ptr<Object> weapon;
    bool facingLeft = false;
    bool dead = false;
    Color color;
    float health = 100.0f;
    float maxHealth = 100.0f;
};
