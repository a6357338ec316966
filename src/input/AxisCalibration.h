#pragma once

// How one axis's raw readings map onto -1..1: its range, its centre and the null zone
// around the centre that still reads as rest. The defaults are the raw range of the
// Linux joystick interface, so an axis nobody calibrated still works.
struct AxisCalibration {
    int minimum = -32767;
    int center = 0;
    int maximum = 32767;
    int nullZone = 0;
    int tolerance = 0;
    int correctionLevel = 0;
    int deadZoneMinimum = 0;
    int deadZoneMaximum = 0;
    double correctionalCoefficientMinimum = 0.0;
    double correctionalCoefficientMaximum = 0.0;
    bool flipped = false;
    bool isHat = false;

    // -1..1, exactly 0 inside the null zone. A side whose range is used up by the null
    // zone (or lies on the wrong side of the centre) jumps straight to full deflection.
    double coefficient(int raw) const;
};
