#include "PlayerBot.h"

#include <cmath>

#include "Dice.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "world/Head.h"

namespace {

constexpr int kTick = 20;

const Player* playerIn(const Game& game, int slot) { return slot == 0 ? game.getPlayer1() : game.getPlayer2(); }

double sign(double value) { return value < 0.0 ? -1.0 : 1.0; }

}  // namespace

PlayerBot::PlayerBot(int player, GameInput& input, Dice& dice) : player(player), input(input), dice(dice) {}

void PlayerBot::act(const Game& game, bool handsOff) {
    if (handsOff) {
        return;
    }
    deviceMilliseconds -= kTick;
    if (deviceMilliseconds <= 0) {
        switchDevice();
    }
    intentMilliseconds -= kTick;
    if (intentMilliseconds <= 0) {
        chooseIntent();
    }
    const Player* self = playerIn(game, player);
    steer(self != nullptr ? heading(game, self) : Vec3());
    pressActions(game, self);
}

void PlayerBot::chooseIntent() {
    const int roll = dice.between(0, 99);
    if (roll < 35) {
        intent = Intent::WalkRight;
    } else if (roll < 70) {
        intent = Intent::Seek;
    } else if (roll < 80) {
        intent = Intent::Fetch;
    } else if (roll < 92) {
        intent = Intent::Wander;
    } else {
        intent = Intent::Stand;
    }
    intentMilliseconds = dice.between(300, 3000);
    const double angle = dice.between(0.0, 2.0 * M_PI);
    wanderDirection = Vec3(std::cos(angle), 0, std::sin(angle));
    deflection = dice.between(0.4, 1.0);
}

void PlayerBot::switchDevice() {
    steer(Vec3());
    device = dice.chance(0.6) ? GameInput::Device::Keyboard : GameInput::Device::Joystick;
    deviceMilliseconds = dice.between(5000, 30000);
}

Vec3 PlayerBot::heading(const Game& game, const Player* self) const {
    const Object* goal = nullptr;
    if (intent == Intent::Seek) {
        goal = game.findNearestEnemy(self->position);
    } else if (intent == Intent::Fetch) {
        goal = game.findNearestTarget(self->position);
    }
    if (goal != nullptr) {
        // Stand beside the goal, level with it in depth, rather than on top of it.
        const Vec3 gap = goal->position - self->position;
        return Vec3(std::abs(gap.x) > 1.8 ? sign(gap.x) : 0.0, 0, std::abs(gap.z) > 0.4 ? sign(gap.z) : 0.0);
    }
    switch (intent) {
        case Intent::Stand: return Vec3();
        case Intent::Wander: return wanderDirection;
        default: return Vec3(1, 0, wanderDirection.z * 0.5);
    }
}

void PlayerBot::steer(const Vec3& direction) {
    const std::array<bool, 4> wanted = {direction.x < -0.3, direction.x > 0.3, direction.z < -0.3, direction.z > 0.3};
    const bool keyboard = device == GameInput::Device::Keyboard;
    for (int d = 0; d < 4; ++d) {
        const bool down = keyboard && wanted[d];
        if (down != heldDirections[d]) {
            input.hold(player, static_cast<GameInput::Action>(GameInput::Left + d), down, GameInput::Device::Keyboard);
            heldDirections[d] = down;
        }
    }
    // A real stick reports every tick, centred or not.
    const double length = direction.length();
    const Vec3 stick = keyboard || length == 0.0 ? Vec3() : direction / length * deflection;
    input.deflect(player, stick.x, stick.z);
}

void PlayerBot::pressActions(const Game& game, const Player* self) {
    double attack = 0.02;
    double pickUp = 0.01;
    if (self != nullptr) {
        if (const Enemy* enemy = game.findNearestEnemy(self->position)) {
            const Vec3 gap = enemy->position - self->position;
            const bool inReach = std::abs(gap.x) < 3.0 && std::abs(gap.z) < 1.5;
            const bool inLine = std::abs(gap.z) < 1.2;
            const Object* held = self->heldWeapon();
            const bool throwable =
                dynamic_cast<const Head*>(held) != nullptr || dynamic_cast<const StickFigure*>(held) != nullptr;
            attack = inReach ? 0.12 : (throwable && inLine ? 0.05 : attack);
            pickUp = inReach ? 0.03 : pickUp;
        }
        if (intent == Intent::Fetch && self->heldWeapon() == nullptr) {
            pickUp = 0.08;
        }
    }
    if (dice.chance(attack)) press(GameInput::Attack);
    if (dice.chance(pickUp)) press(GameInput::PickUp);
    if (dice.chance(0.002)) press(GameInput::Drop);
    if (dice.chance(0.001)) press(GameInput::Start);
}

void PlayerBot::press(GameInput::Action action) { input.press(player, action, device); }
