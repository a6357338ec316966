#pragma once

#include <string>

#include "world/Object.h"

// A flat picture standing on the floor that bodies cannot walk through.
class Obstacle : public Object {
public:
    Obstacle(const std::string& texture, double radius, double width, double height, int contents);
    ~Obstacle() override;

    double getRadius() const { return radius; }

private:
    std::string texture;
    double width = 0.0;
    double height = 0.0;
    double radius = 0.0;
    int contents = 0;
};
