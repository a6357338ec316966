#pragma once

#include <linux/joystick.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "input/AxisCalibration.h"
#include "input/FileDescriptor.h"

class JoystickState;

// One game controller read through the Linux joystick interface, with the calibration
// (per-axis range and null zone) of a joystick calibration file. A joystick that fails
// to open says why on standard output once and then answers 0 or false to everything.
class Joystick {
public:
    Joystick(const std::string& deviceName, const std::string& calibrationPath);
    // Reads joystick event records from a stream that is already open (a device opened
    // elsewhere, or a pipe), with the given counts in place of the device's own; the
    // device name picks the calibration and names the joystick in messages.
    Joystick(FileDescriptor events, int axes, int buttons, const std::string& deviceName,
             const std::string& calibrationPath);
    ~Joystick();
    Joystick(const Joystick&) = delete;
    Joystick& operator=(const Joystick&) = delete;

    // Once per tick: fetch pending events so the axes and button edges are current.
    void update();
    int buttonCount() const;
    int axisCount() const;
    bool wasPressed(int button) const;
    bool wasReleased(int button) const;
    // -1..1 with the calibration's null zone applied; 0 when there is no such axis.
    float axis(int index) const;
    bool isOpened() const { return opened; }

private:
    enum class OpenResult { Success = 0, Failed = 1, InvalidValue = 2, NoAccess = 3, NoMemory = 4 };

    OpenResult openDevice(const std::string& deviceName, int& axes, int& buttons);
    OpenResult attach(int axes, int buttons, const std::string& deviceName, const std::string& calibrationPath);
    void finishOpening(OpenResult result, const std::string& deviceName);
    void readEvents();
    void letGo();

    FileDescriptor device;
    std::unique_ptr<JoystickState> state;
    std::vector<AxisCalibration> calibration;
    std::vector<js_event> events;
    // The start of an event record whose rest has not arrived yet.
    std::array<unsigned char, sizeof(js_event)> partial{};
    std::size_t partialSize = 0;
    bool opened = false;
};
