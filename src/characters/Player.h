#pragma once

#include "characters/StickFigure.h"

class HealthBar;

// The stick figure a person controls: 300 health, its own health bar in the world.
class Player : public StickFigure {
public:
    explicit Player(const Color& color);
    ~Player() override;

    HealthBar* getHealthBar() const { return healthBar; }

private:
    HealthBar* healthBar = nullptr;  // owned by the world
};
