#include "world/Level.h"

#include <fstream>
#include <iostream>

bool Level::load(const std::string& levelName_) {
    levelName = levelName_;
    std::ifstream file("levels/" + levelName);
    if (!file) {
        std::cerr << "Failed to load " << levelName << "\n";
        return false;
    }
    nextLevel.clear();
    scrollPosition = 0.0;
    return true;
}

void Level::update(double) {}

void Level::drawWall() const {}

void Level::drawFloor() const {}
