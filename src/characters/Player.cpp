#include "characters/Player.h"

#include "characters/Enemy.h"
#include "core/Difficulty.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/HealthBar.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Message.h"
#include "world/StateHasher.h"
#include "world/Stick.h"

namespace {

bool friendlyFire() {
    static SettingsCache<bool> enabled([] { return Settings::instance().getInt("friendlyFire") != 0; });
    return enabled.get();
}

constexpr float kPlayerHealth = 300.0f;

}  // namespace

Player::Player(const Color& color) : StickFigure(color) {
    setMaxHealth(kPlayerHealth);
    setHealth(kPlayerHealth);
    auto bar = std::make_unique<HealthBar>();
    bar->colour = color;
    HealthBar* const added = bar.get();
    Game::instance().addObject(std::move(bar));
    healthBar = added;
}

Player::~Player() = default;

HealthBar* Player::getHealthBar() const { return healthBar.get(); }

void Player::update(int milliseconds) {
    nearbyParts = 0;
    for (const Handle<Object>& handle : candidates) {
        const Object* const candidate = handle.get();
        if (dynamic_cast<const Head*>(candidate) != nullptr) {
            nearbyParts |= 1 << 2;
        } else if (dynamic_cast<const Stick*>(candidate) != nullptr) {
            nearbyParts |= 1 << 0;
        } else if (const auto* enemy = dynamic_cast<const Enemy*>(candidate)) {
            for (int part = ArmPart; part <= WholeBody; ++part) {
                if (enemy->canLoseLimb(static_cast<PartKind>(part))) {
                    nearbyParts |= 1 << part;
                }
            }
        }
    }
    StickFigure::update(milliseconds);
    if (HealthBar* const bar = healthBar.get()) {
        bar->setHealth(healthFraction());
        bar->setIcons(nearbyParts);
    }
}

void Player::draw() { StickFigure::draw(); }

void Player::takeDamage(float amount) {
    const Difficulty::Level level = Difficulty::inForce();
    StickFigure::takeDamage(level == Difficulty::Normal ? amount : amount * Difficulty::playerDamageFactor(level));
    // Every blow and blast that costs health ends here, past the hit cooldown.
    if (amount > 0.0f) {
        Game::instance().playerHurt(this);
    }
}

void Player::message(Object* from, int message) {
    switch (message) {
        case Hit:
            if (!friendlyFire() && dynamic_cast<Player*>(from) != nullptr) {
                return;
            }
            break;
        case Bump:
            if (dynamic_cast<StickFigure*>(from) != nullptr) {
                return;
            }
            break;
        case PickupTouch:
            if (auto* pot = dynamic_cast<Health*>(from)) {
                if (pot->removed) {
                    return;  // another player drank it this tick
                }
                heal(pot->amount());
                pot->kill();
                return;
            }
            break;
        default:
            break;
    }
    StickFigure::message(from, message);
}

void Player::digest(StateHasher& h) const {
    StickFigure::digest(h);
    h << nearbyParts;
}

const char* Player::digestName() const { return "Player"; }
