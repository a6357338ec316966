#pragma once

#include <cstdint>

#include "characters/StickFigure.h"
#include "world/Handle.h"

class HealthBar;

// The stick figure a person controls: tougher than the rest, with its own health bar in
// the world, walking through other figures and drinking the ink pots it touches.
class Player : public StickFigure {
public:
    explicit Player(const Color& color);
    ~Player() override;

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void update(int milliseconds) override;
    void draw() override;
    void message(Object* from, int message) override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;
    // Scaled by the difficulty in force (Normal takes the damage as it comes).
    void takeDamage(float amount) override;

    HealthBar* getHealthBar() const;
    int32_t getNearbyParts() const { return nearbyParts; }

private:
    Handle<HealthBar> healthBar;  // in the world
    int32_t nearbyParts = 0;         // bit 0 arm or stick, 1 leg, 2 head, 3 whole body
};
