#include "input/InputDevices.h"

#include <string>
#include <utility>

#include "core/InputSeam.h"
#include "core/Settings.h"

InputDevices::InputDevices() = default;
InputDevices::~InputDevices() = default;

void InputDevices::open() {
    opened = true;
    Settings& settings = Settings::instance();
    const std::string calibration = settings.getString("joystickCalibration");
    Gamepads::Claimed claimed;
    // A joystick that fails to open keeps its place in the list, so the numbers the
    // players' settings name stay the same; it just never reports anything.
    for (const char* number : {"1", "2"}) {
        if (settings.getInt(std::string("joystick") + number + "Enabled") == 0) {
            continue;
        }
        const std::string device = settings.getString(std::string("joystickDevice") + number);
        joysticks.push_back(std::make_unique<Joystick>(device, calibration));
        if (joysticks.back()->isOpened()) {
            claimed.joystickDevices.push_back(device);
        }
    }
    wiimotes.findAndConnect();
    claimed.wiiRemote = wiimotes.hasRemotes();
    gamepads = std::make_unique<Gamepads>(Gamepads::userMappingFile(), std::move(claimed));
}

void InputDevices::poll() {
    if (!opened) {
        open();
    }
    if (wiimotes.hasRemotes()) {
        wiimotes.poll();
    }
    pollJoysticks();
    gamepads->poll();
}

void InputDevices::pollJoysticks() {
    InputSeam& seam = InputSeam::instance();
    for (std::size_t number = 0; number < joysticks.size(); ++number) {
        Joystick& joystick = *joysticks[number];
        const int index = static_cast<int>(number);
        joystick.update();
        for (int button = 0; button < joystick.buttonCount(); ++button) {
            if (joystick.wasPressed(button)) {
                seam.joystickButton(index, button, true);
            } else if (joystick.wasReleased(button)) {
                seam.joystickButton(index, button, false);
            }
        }
        for (int axis = 0; axis < joystick.axisCount(); ++axis) {
            seam.joystickAxis(index, axis, joystick.axis(axis));
        }
    }
}
