#include "characters/Player.h"

#include "core/Game.h"
#include "render/HealthBar.h"

Player::Player(const Color& color) : StickFigure(color) {
    setMaxHealth(300.0f);
    setHealth(300.0f);
    auto bar = std::make_unique<HealthBar>();
    bar->colour = color;
    healthBar = bar.get();
    Game::instance().addObject(std::move(bar));
}

Player::~Player() = default;
