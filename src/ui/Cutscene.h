#pragma once

#include <string>

// The one slide-show player: cutscenes between parts of a level, the credits and the
// arcade attract loop.
class Cutscene {
public:
    static Cutscene& instance();

    void load(const std::string& path);
    void update(int milliseconds);
    void draw();
    bool isPlaying() const { return playing; }
    void skip();

private:
    Cutscene() = default;
    bool playing = false;
};
