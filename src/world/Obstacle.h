#pragma once

#include <memory>

#include <string>

#include "world/Object.h"

// A flat picture standing on the floor that bodies cannot walk through. A breakable one
// (contents above 0) flies off when hit, bounces three times and vanishes, leaving the
// health pickup its contents name (2 small, 3 medium, 4 large).
class Obstacle : public Object {
public:
    Obstacle(const std::string& texture, double radius, double width, double height, int contents);
    ~Obstacle() override;

    std::unique_ptr<Object> clone() const override { return std::make_unique<Obstacle>(*this); }
    void update(int milliseconds) override;
    void draw() override;
    const RegionList& regions() const override;
    void message(Object* from, int message) override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    double getRadius() const { return radius; }
    int getContents() const { return contents; }
    bool isBroken() const { return broken; }

private:
    void breakApart(const Object* attacker);

    std::string texture;
    double width = 0.0;
    double height = 0.0;
    double radius = 0.0;
    int contents = 0;
    RegionList ownRegions;
    bool broken = false;
    int bounces = 0;
    int brokenTicks = 0;
    Vec3 velocity;
};
