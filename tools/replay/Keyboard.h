#pragma once

#include <set>
#include <string>

#include "core/InputSeam.h"
#include "core/Settings.h"

// Keys for the scripted players, sent through the input seam exactly as the keyboard
// callbacks deliver them; it remembers what is held so each change is sent once.
class Keyboard {
public:
    void hold(int key, bool down) {
        if (key == 0 || (held.count(key) != 0) == down) return;
        if (down) held.insert(key); else held.erase(key);
        InputSeam::instance().key(key, down);
    }
    void press(int key) {
        InputSeam::instance().key(key, true);
        InputSeam::instance().key(key, false);
        held.erase(key);
    }
    void releaseAll() {
        while (!held.empty()) hold(*held.begin(), false);
    }

private:
    std::set<int> held;
};

// The keys the settings give player 1 or 2.
struct PlayerKeys {
    explicit PlayerKeys(int player) : prefix("player" + std::to_string(player)) {}
    int key(const char* control) const { return Settings::instance().getInt(prefix + control); }

    const std::string prefix;
    const int left = key("Left");
    const int right = key("Right");
    const int up = key("Up");
    const int down = key("Down");
    const int attack = key("Attack");
    const int pickUp = key("PickUp");
    const int drop = key("Drop");
    const int start = key("Start");
};
