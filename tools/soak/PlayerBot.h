#pragma once

#include <array>

#include "GameInput.h"
#include "world/Vec3.h"

class Dice;
class Game;
class Player;

// Random hands for one player: walks in stretches (mostly right or at the nearest enemy,
// sometimes anywhere, sometimes not at all), punches often when an enemy is close,
// picks up, rips, throws and drops now and then, and presses Start rarely. It plays for
// a while on the keyboard, then for a while on a joystick (buttons and stick).
class PlayerBot {
public:
    PlayerBot(int player, GameInput& input, Dice& dice);

    // One tick of input; with hands off it sends nothing.
    void act(const Game& game, bool handsOff);

private:
    enum class Intent { WalkRight, Seek, Fetch, Wander, Stand };

    void chooseIntent();
    void switchDevice();
    Vec3 heading(const Game& game, const Player* self) const;
    void steer(const Vec3& direction);
    void pressActions(const Game& game, const Player* self);
    void press(GameInput::Action action);

    const int player;
    GameInput& input;
    Dice& dice;
    GameInput::Device device = GameInput::Device::Keyboard;
    int deviceMilliseconds = 0;
    Intent intent = Intent::WalkRight;
    int intentMilliseconds = 0;
    Vec3 wanderDirection;
    double deflection = 1.0;
    std::array<bool, 4> heldDirections{};
};
