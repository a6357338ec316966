#pragma once

#include <string>

// The health of a living boss, along the bottom of the screen below the arcade prompts:
// a red bar over a grey trail of the damage just done, with the boss's name written on
// it in capitals (a boss without a name gets the bar alone). Drawn in normalised device coordinates
// over the world; it keeps only its trail between frames.
class BossBar {
public:
    // A rectangle in normalised device coordinates.
    struct Rect {
        double left;
        double right;
        double bottom;
        double top;
    };

    // A new boss: the trail starts where its health is.
    void reset(float health);
    // Each gameplay tick with the boss's health as a share of its most (0..1).
    void update(float health, int milliseconds);
    void draw(const std::string& name) const;

    static Rect frame();
    // The part of the frame's inside filled by `value`, taken as 0..1.
    static Rect fill(double value);

private:
    float current = 1.0f;
    float shown = 1.0f;
};
