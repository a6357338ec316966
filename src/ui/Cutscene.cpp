#include "ui/Cutscene.h"

#include <iostream>

Cutscene& Cutscene::instance() {
    static Cutscene player;
    return player;
}

void Cutscene::load(const std::string& path) {
    std::cout << "Could not open cutscene: " << path << std::endl;
}
void Cutscene::update(int) {}
void Cutscene::draw() {}
void Cutscene::skip() { playing = false; }
