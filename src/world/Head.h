#pragma once

#include "world/Color.h"
#include "world/Object.h"

// A figure's head used as a weapon: carried, thrown or fired, then lying on the floor.
class Head : public Object {
public:
    explicit Head(const Color& colour);
    ~Head() override;

    bool isShot() const { return shot; }
    bool isFlying() const { return flying; }
    const Color& getColour() const { return colour; }

private:
    Color colour;
    bool flying = false;
    bool shot = false;
};
