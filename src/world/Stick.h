#pragma once

#include "world/Color.h"
#include "world/Object.h"

// A club: a torn-off arm or leg, or a stick handed to an enemy at spawn.
class Stick : public Object {
public:
    explicit Stick(const Color& colour);
    ~Stick() override;

    const Color& getColour() const { return colour; }

private:
    Color colour;
};
