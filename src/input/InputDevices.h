#pragma once

// The joysticks and the Wii Remote, opened on the first tick and polled every tick;
// their button edges and axis values go to Game::joystickButton / joystickAxis.
class InputDevices {
public:
    InputDevices() = default;
    // Called at the start of every tick; the first call opens the devices.
    void poll();

private:
    bool opened = false;
    void open();
};
