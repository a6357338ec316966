#pragma once

#include <memory>

#include "world/Color.h"
#include "world/Object.h"

// A player's framed health bar with its grey damage trail and icons of what lies
// within reach. A world object that nothing but clearing the world removes.
class HealthBar : public Object {
public:
    // Bits of icons: what the player could pick up or rip off right now.
    static constexpr int ArmIcon = 1 << 0;
    static constexpr int LegIcon = 1 << 1;
    static constexpr int HeadIcon = 1 << 2;
    static constexpr int BazookaIcon = 1 << 3;

    // Screen places: halves of the upper screen for two players, or centred for one.
    static constexpr int LeftSlot = 0;
    static constexpr int RightSlot = 1;
    static constexpr int CentreSlot = 2;

    // A rectangle in the bar's own [-1, 1] square.
    struct Rect {
        double left;
        double right;
        double bottom;
        double top;
    };

    HealthBar();

    std::unique_ptr<Object> clone() const override { return std::make_unique<HealthBar>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    void kill() override {}
    const char* digestName() const override { return "HealthBar"; }

    void setHealth(float value) { health = value; }
    void setIcons(int value) { icons = value; }
    void setSlot(int value) { slot = value; }

    // The frame of a slot; any slot but the two halves is drawn centred.
    static Rect frameOf(int slot);
    // The part of the frame's bar filled by value, taken as 0..1.
    static Rect barOf(const Rect& frame, double value);

    float health = 1.0f;
    int slot = LeftSlot;
    float shownHealth = 1.0f;
    Color colour{0, 0, 0, 1};
    int icons = 0;
};
