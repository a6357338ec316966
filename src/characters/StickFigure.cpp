#include "characters/StickFigure.h"

StickFigure::StickFigure(const Color& c) : color(c) {}
StickFigure::~StickFigure() = default;

void StickFigure::update(int) {}
void StickFigure::move(const Vec3& d) {
    position += d;
    if (d.x < 0) facingLeft = true;
    if (d.x > 0) facingLeft = false;
}
void StickFigure::attack() {}
void StickFigure::takeWeapon(std::unique_ptr<Object> o) {
    if (!weapon) weapon = std::move(o);
}
void StickFigure::pickUp(PartKind) {}
Object* StickFigure::dropWeapon() { return nullptr; }
Object* StickFigure::heldWeapon() const { return weapon.get(); }
bool StickFigure::canLoseLimb(PartKind) const { return false; }
std::unique_ptr<Object> StickFigure::loseLimb(PartKind) { return nullptr; }
void StickFigure::die() { dead = true; }
float StickFigure::healthFraction() const { return maxHealth > 0 ? health / maxHealth : 0.0f; }
bool StickFigure::isDead() const { return dead; }
bool StickFigure::isGone() const { return dead; }
void StickFigure::respawn() {
    health = maxHealth;
    dead = false;
    position.y = 0;
}
void StickFigure::setFacingLeft(bool left) { facingLeft = left; }
void StickFigure::punch() {}
void StickFigure::swingStick() {}
void StickFigure::takeDamage(float amount) {
    health -= amount;
    if (health <= 0) {
        health = 0;
        die();
    }
}
bool StickFigure::hasAnyLimb() const { return true; }
