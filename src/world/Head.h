#pragma once

#include <memory>

#include "world/Color.h"
#include "world/Object.h"

// A figure's head used as a weapon: carried (outside the world), thrown or fired as a
// bazooka shot, then lying on the floor until picked up again. It can be thrown
// "throwsPerHead" times and vanishes when it lands after the last throw; a shot explodes
// on the first thing it touches.
class Head : public Object {
public:
    explicit Head(const Color& colour);
    ~Head() override;

    std::unique_ptr<Object> clone() const override { return std::make_unique<Head>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    const RegionList& regions() const override;
    void message(Object* from, int message) override;
    void disintegrate() override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    // Called by the figure that throws or fires it.
    void launch(const Vec3& velocity, bool shot);

    bool isShot() const { return shot; }
    bool isFlying() const { return flying; }
    int throwsLeft() const { return remainingThrows; }
    const Vec3& getVelocity() const { return velocity; }
    const Color& getColour() const { return colour; }

private:
    void explode();

    Color colour;
    Vec3 velocity;
    bool flying = false;
    int flightTimer = 0;  // ms during which the throw ignores gravity
    int remainingThrows = 0;
    bool shot = false;
};
