#include "input/Joystick.h"

#include <iostream>

Joystick::Joystick(const std::string& deviceName, const std::string&) {
    std::cout << "Error trying to initialize joystick " << deviceName << ".\n";
}

Joystick::~Joystick() = default;

void Joystick::update() {}
int Joystick::buttonCount() const { return 0; }
int Joystick::axisCount() const { return 0; }
bool Joystick::wasPressed(int) const { return false; }
bool Joystick::wasReleased(int) const { return false; }
float Joystick::axis(int) const { return 0.0f; }
