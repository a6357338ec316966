#pragma once

#include <memory>
#include <vector>

#include "input/Gamepads.h"
#include "input/Joystick.h"
#include "input/WiimoteManager.h"

// The joysticks, the Wii Remote and the pads: opened on the first tick, then polled at
// the start of every tick, their button edges and axis values handed to the Game.
class InputDevices {
public:
    InputDevices();
    ~InputDevices();

    // Called at the start of every tick; the first call opens the devices.
    void poll();

    const std::vector<std::unique_ptr<Joystick>>& getJoysticks() const { return joysticks; }

private:
    void open();
    void pollJoysticks();

    bool opened = false;
    std::vector<std::unique_ptr<Joystick>> joysticks;
    WiimoteManager wiimotes;
    std::unique_ptr<Gamepads> gamepads;
};
