#pragma once

#include <map>
#include <string>

#include "input/AxisCalibration.h"

// The calibration file that joystick calibration tools write: per device path a
// "BeginJoystick" ... "EndJoystick" block with a name and "BeginAxis" ... "EndAxis"
// blocks of axis parameters. Parameter names are case-insensitive, unknown ones are
// skipped, and a later block for the same device replaces an earlier one.
class JoystickCalibration {
public:
    struct Device {
        std::string name;
        double lastCalibrated = 0.0;
        std::map<int, AxisCalibration> axes;
    };

    // Adds the devices of a calibration file; false when the file cannot be read, which
    // leaves every axis on the raw range.
    bool load(const std::string& path);
    // Adds the devices described by text in the calibration file's format.
    void parse(const std::string& text);

    // nullptr when the file has no block for that device path.
    const Device* find(const std::string& devicePath) const;
    // The axis's calibration, or the raw range when the file has none for it.
    AxisCalibration axis(const std::string& devicePath, int axis) const;

private:
    std::map<std::string, Device> devices;
};
