#pragma once

#include <random>
#include <set>

class Game;

// The hands of one side of a headless online game. They play this machine's player
// with its own player-1 keys, through the input seam as a keyboard would: walking in
// stretches (mostly to the right), punching often, picking up and dropping now and
// then. One side (the menu driver) answers the death menu with "Restart"; when asked
// to quit, the hands press Escape and leave through the pause menu.
class PeerHands {
public:
    struct Keys {
        int left = 0, right = 0, up = 0, down = 0, attack = 0, pickUp = 0, drop = 0;
    };

    // `keys` as this machine's settings had them before the online game replaced them;
    // `settleTicks` is how long a press takes to come back from the other side.
    PeerHands(const Keys& keys, unsigned seed, bool playing, bool menuDriver, int settleTicks);

    // Once per tick of play, before the tick runs.
    void act(const Game& game, int tick);
    void quit() { quitting = true; }

private:
    void play();
    void driveMenu(const Game& game, int tick, unsigned target);
    void hold(int key, bool down);
    void tap(int key);
    void releaseAll();
    bool chance(double probability);

    const Keys keys;
    std::mt19937 random;
    const bool playing;
    const bool menuDriver;
    const int settleTicks;
    bool quitting = false;
    int stretchLeft = 0;
    int lastMenuPress = -1000;
    std::set<int> held;
    std::set<int> tapped;
};
