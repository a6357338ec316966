#include "render/HealthBar.h"

HealthBar::HealthBar() {
    position = Vec3(0, 0, 300);
    drawLast = true;
}

void HealthBar::update(int milliseconds) {
    if (health < shownHealth) {
        shownHealth = shownHealth - static_cast<float>(milliseconds * 0.0001);
    } else {
        shownHealth = health;
    }
}

void HealthBar::draw() {}
