#pragma once

#include <memory>

#include "world/Color.h"
#include "world/Object.h"

// A club: a torn-off arm or leg, or a stick handed to an enemy at spawn. Every swing
// that lands wears it down; after "swingsPerStick" of them it is gone. While carried it
// is outside the world and its holder updates and draws it.
class Stick : public Object {
public:
    explicit Stick(const Color& colour);
    ~Stick() override;

    std::unique_ptr<Object> clone() const override { return std::make_unique<Stick>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    const RegionList& regions() const override;
    void disintegrate() override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    // The holder calls this when a swing starts (true) and ends (false).
    void setSwinging(bool value);
    // The holder calls this when its stick lands a blow; each swing costs at most one.
    void registerHit();

    bool isSwinging() const { return swinging; }
    int swingsLeft() const { return remainingSwings; }
    const Color& getColour() const { return colour; }

private:
    Color colour;
    bool swinging = false;
    int remainingSwings = 0;
    bool hitCounted = false;
};
