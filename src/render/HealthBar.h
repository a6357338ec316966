#pragma once

#include "world/Color.h"
#include "world/Object.h"

// A player's framed health bar with its grey damage trail and icons of what lies
// within reach. A world object that nothing but clearing the world removes.
class HealthBar : public Object {
public:
    HealthBar();

    void update(int milliseconds) override;
    void draw() override;
    void kill() override {}

    void setHealth(float value) { health = value; }
    void setIcons(int value) { icons = value; }
    void setSlot(int value) { slot = value; }

    float health = 1.0f;
    int slot = 0;
    float shownHealth = 1.0f;
    Color colour{0, 0, 0, 1};
    int icons = 0;
};
