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

    // nullptr when the file has no block for that device path.
    const Device* find(const std::string& devicePath) const;
    // The axis's calibration, or the raw range when the file has none for it.
    AxisCalibration axis(const std::string& devicePath, int axis) const;

private:
    // Where reading stands between lines.
    struct Reading {
        Device* device = nullptr;
        AxisCalibration* axis = nullptr;
        // Inside an axis block, even one that was thrown away, device parameters do not apply.
        bool inAxis = false;
    };
    void readLine(const std::string& line, Reading& reading);

    std::map<std::string, Device> devices;
};
