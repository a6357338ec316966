#pragma once

#include <memory>
#include <random>

#include "Keyboard.h"

class Fighter;
class Game;

// The hands of one side of a headless online game. They play this machine's figure
// with its own player-1 keys, through the input seam as a keyboard would: either at
// random (walking in stretches, mostly to the right, punching often, picking up and
// dropping now and then) or as the scripted fighter of the regression replays. One
// side (the menu driver) skips cutscenes and answers the death menu with "Restart";
// when asked to quit, the hands press Escape and leave through the pause menu.
class PeerHands {
public:
    enum class Style { Idle, Random, Fighter };

    // Reads this machine's player-1 keys, so it is built before an online game puts
    // its own bindings in force.
    PeerHands(Style style, int slot, unsigned seed, bool menuDriver);
    ~PeerHands();

    // Once per tick of play, before the tick runs.
    void act(Game& game, int tick);
    void quit() { quitting = true; }
    // Attack is pressed once on this tick, whatever the style (-1: never).
    void pressAttackAt(int tick) { attackTick = tick; }
    // A press takes the input delay to take effect on both sides and as long again for
    // its effect to be seen; menus are driven at that pace.
    void setInputDelay(int ticks) { settleTicks = 2 * ticks + 4; }

private:
    void playAtRandom();
    void driveMenu(const Game& game, int tick, unsigned target);
    bool chance(double probability);

    const Style style;
    std::unique_ptr<Fighter> fighter;
    Keyboard keyboard;
    std::mt19937 random;
    const bool menuDriver;
    int settleTicks = 10;
    bool quitting = false;
    int stretchLeft = 0;
    int lastMenuPress = -1000;
    int attackTick = -1;
};
