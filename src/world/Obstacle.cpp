#include "world/Obstacle.h"

Obstacle::Obstacle(const std::string& texture_, double radius_, double width_, double height_, int contents_)
    : texture(texture_), width(width_), height(height_), radius(radius_), contents(contents_) {
    drawLast = true;
}
Obstacle::~Obstacle() = default;
