#pragma once

#include <set>

#include "core/InputSeam.h"

// Keys go through the seam exactly as the keyboard callbacks deliver them.
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
