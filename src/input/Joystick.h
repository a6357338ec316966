#pragma once

#include <string>

// One game controller read through the Linux joystick interface, with the calibration
// (per-axis range and null zone) of a joystick calibration file.
class Joystick {
public:
    Joystick(const std::string& deviceName, const std::string& calibrationPath);
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
    bool opened = false;
};
