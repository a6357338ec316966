#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "input/JoystickCalibration.h"
#include "support/TempDataDir.h"

namespace {

TEST(JoystickCalibrationTest, ReadsEveryDeviceAndAxisOfAFile) {
    TempDataDir dir;
    dir.write("joystick.cal",
              "# Joystick calibration file\n\n"
              "BeginJoystick = /dev/input/js0\n"
              "    Name = Gamepad = Deluxe\n"
              "    LastCalibrated = 1199145600\n"
              "\tBeginAxis = 0\n"
              "        Minimum = -30000\n"
              "        center=  100   \r\n"
              "        MAXIMUM    =    31000\n"
              "        NullZone = 2000\n"
              "        CorrectionalCoefficientMaximum = 1.25\n"
              "        Wobble = 12\n"
              "    EndAxis\n"
              "  # a comment between axes\n"
              "    BeginAxis = 3\n"
              "        flipped\n"
              "        IsHat\n"
              "    EndAxis\n"
              "EndJoystick\n"
              "BeginJoystick = /dev/input/js1\n"
              "    BeginAxis = 1\n"
              "        NullZone = 40\n"
              "    EndAxis\n"
              "EndJoystick\n");
    JoystickCalibration calibration;
    ASSERT_TRUE(calibration.load("joystick.cal"));

    const JoystickCalibration::Device* first = calibration.find("/dev/input/js0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "Gamepad = Deluxe");
    EXPECT_DOUBLE_EQ(first->lastCalibrated, 1199145600.0);
    EXPECT_EQ(first->axes.size(), 2u);
    const AxisCalibration x = calibration.axis("/dev/input/js0", 0);
    EXPECT_EQ(x.minimum, -30000);
    EXPECT_EQ(x.center, 100);
    EXPECT_EQ(x.maximum, 31000);
    EXPECT_EQ(x.nullZone, 2000);
    EXPECT_DOUBLE_EQ(x.correctionalCoefficientMaximum, 1.25);
    EXPECT_FALSE(x.flipped);
    const AxisCalibration hat = calibration.axis("/dev/input/js0", 3);
    EXPECT_TRUE(hat.flipped && hat.isHat);
    EXPECT_EQ(hat.maximum, 32767);
    EXPECT_EQ(calibration.axis("/dev/input/js1", 1).nullZone, 40);

    // Axes and devices the file does not mention keep the raw range, as does everything
    // when there is no file to read.
    EXPECT_EQ(calibration.axis("/dev/input/js0", 1).minimum, -32767);
    EXPECT_EQ(calibration.axis("/dev/input/js2", 0).maximum, 32767);
    JoystickCalibration none;
    EXPECT_FALSE(none.load("nowhere.cal"));
    EXPECT_FALSE(none.load(dir.path()));
    EXPECT_EQ(none.find("/dev/input/js0"), nullptr);
}

TEST(JoystickCalibrationTest, BrokenBlocksAndValuesAreSkipped) {
    JoystickCalibration calibration;
    calibration.parse(
        "BeginAxis = 0\nMinimum = -5\nEndAxis\n"  // outside any joystick
        "EndJoystick\n\x01\xff\x7f garbage\n"
        "BeginJoystick = \nBeginAxis = 0\nEndAxis\n"  // no device path
        "BeginJoystick = pad\nName = first\n"
        "BeginAxis = -1\nName = not the device's\nMinimum = -7\nEndAxis\n"
        "BeginAxis = many\nMinimum = -8\nEndAxis\n"
        "BeginAxis = 2\nMinimum = lots\nMaximum = 99999999999999999999\nCenter\n"
        "CorrectionalCoefficientMaximum = nan\nEndAxis\n"
        "EndJoystick\n"
        "BeginJoystick = replaced\nBeginAxis = 0\nNullZone = 1\nEndAxis\nEndJoystick\n"
        "BeginJoystick = replaced\nBeginAxis = 1\nNullZone = 2\nBeginAxis = 4\n");  // never closed
    EXPECT_EQ(calibration.find(""), nullptr);
    const JoystickCalibration::Device* pad = calibration.find("pad");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->name, "first");
    EXPECT_EQ(pad->axes.size(), 1u);
    const AxisCalibration axis = calibration.axis("pad", 2);
    EXPECT_EQ(axis.minimum, -32767);
    EXPECT_EQ(axis.maximum, INT_MAX);
    EXPECT_EQ(axis.center, 0);
    EXPECT_DOUBLE_EQ(axis.correctionalCoefficientMaximum, 0.0);

    // A later block for the same device replaces the earlier one whole.
    const JoystickCalibration::Device* replaced = calibration.find("replaced");
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->axes.count(0), 0u);
    EXPECT_EQ(calibration.axis("replaced", 1).nullZone, 2);
    EXPECT_EQ(replaced->axes.count(4), 1u);
}

AxisCalibration calibrated(int minimum, int center, int maximum, int nullZone) {
    AxisCalibration axis;
    axis.minimum = minimum;
    axis.center = center;
    axis.maximum = maximum;
    axis.nullZone = nullZone;
    return axis;
}

TEST(AxisCalibrationTest, NullZoneReadsZeroFullDeflectionReadsOneFlippedTurnsRound) {
    AxisCalibration axis = calibrated(-1000, 100, 1100, 50);
    for (int raw : {100, 60, 150, 50}) {
        EXPECT_EQ(axis.coefficient(raw), 0.0) << raw;
    }
    // Just outside the zone the value starts from zero, not from the zone's edge.
    EXPECT_NEAR(axis.coefficient(151), 1.0 / 950.0, 1e-12);
    EXPECT_NEAR(axis.coefficient(49), -1.0 / 1050.0, 1e-12);
    EXPECT_DOUBLE_EQ(axis.coefficient(1100), 1.0);
    EXPECT_DOUBLE_EQ(axis.coefficient(-1000), -1.0);
    EXPECT_DOUBLE_EQ(axis.coefficient(625), 0.5);
    EXPECT_DOUBLE_EQ(axis.coefficient(32767), 1.0);
    EXPECT_DOUBLE_EQ(axis.coefficient(-32768), -1.0);

    axis.flipped = true;
    EXPECT_DOUBLE_EQ(axis.coefficient(1100), -1.0);
    EXPECT_DOUBLE_EQ(axis.coefficient(-1000), 1.0);
    EXPECT_FALSE(std::signbit(axis.coefficient(100)));
}

TEST(AxisCalibrationTest, NonsenseCalibrationsStayFiniteAndInRange) {
    const AxisCalibration cases[] = {
        calibrated(0, 0, 0, 0),                    // no range at all
        calibrated(-100, 0, 100, 500),             // null zone wider than the range
        calibrated(100, 0, -100, 0),               // minimum and maximum swapped
        calibrated(INT_MIN, INT_MAX, INT_MIN, 0),  // at the ends of int
        calibrated(-100, 0, 100, -50),             // negative null zone counts as none
    };
    for (const AxisCalibration& axis : cases) {
        for (int raw : {-32768, -1, 0, 1, 32767}) {
            const double value = axis.coefficient(raw);
            EXPECT_TRUE(value >= -1.0 && value <= 1.0) << value;
        }
    }
    EXPECT_DOUBLE_EQ(cases[1].coefficient(32767), 1.0);
    EXPECT_DOUBLE_EQ(cases[4].coefficient(50), 0.5);
}

}  // namespace
