#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>

#include "input/JoystickCalibration.h"
#include "support/TempDataDir.h"

namespace {

TEST(JoystickCalibrationTest, ReadsEveryDeviceOfAFileAndFallsBackToTheRawRange) {
    TempDataDir dir;
    dir.write("joystick.cal",
              "# Joystick calibration file\n\n"
              "BeginJoystick = /dev/input/js0\n    Name = Gamepad = Deluxe\n    LastCalibrated = 1199145600\n"
              "\tBeginAxis = 0\n        Minimum = -30000\n        center=  100   \r\n        MAXIMUM    =    31000\n"
              "        NullZone = 2000\n        CorrectionalCoefficientMaximum = 1.25\n        Wobble = 12\n"
              "    EndAxis\n  # a comment between axes\n"
              "    BeginAxis = 3\n        flipped\n        IsHat\n    EndAxis\nEndJoystick\n"
              "BeginJoystick = /dev/input/js1\n    BeginAxis = 1\n        NullZone = 40\n    EndAxis\nEndJoystick\n");
    JoystickCalibration calibration;
    ASSERT_TRUE(calibration.load("joystick.cal"));
    const JoystickCalibration::Device* first = calibration.find("/dev/input/js0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "Gamepad = Deluxe");
    EXPECT_DOUBLE_EQ(first->lastCalibrated, 1199145600.0);
    EXPECT_EQ(first->axes.size(), 2u);
    const AxisCalibration x = calibration.axis("/dev/input/js0", 0);
    EXPECT_EQ(std::make_tuple(x.minimum, x.center, x.maximum, x.nullZone, x.flipped),
              std::make_tuple(-30000, 100, 31000, 2000, false));
    EXPECT_DOUBLE_EQ(x.correctionalCoefficientMaximum, 1.25);
    const AxisCalibration hat = calibration.axis("/dev/input/js0", 3);
    EXPECT_TRUE(hat.flipped && hat.isHat);
    EXPECT_EQ(hat.maximum, 32767);
    EXPECT_EQ(calibration.axis("/dev/input/js1", 1).nullZone, 40);
    EXPECT_EQ(calibration.axis("/dev/input/js0", 1).minimum, -32767);
    EXPECT_EQ(calibration.axis("/dev/input/js2", 0).maximum, 32767);

    JoystickCalibration none;
    EXPECT_FALSE(none.load("nowhere.cal"));
    EXPECT_FALSE(none.load(dir.path()));
    EXPECT_EQ(none.find("/dev/input/js0"), nullptr);
}

TEST(JoystickCalibrationTest, BrokenBlocksAndValuesAreSkipped) {
    TempDataDir dir;
    dir.write("broken.cal",
              "BeginAxis = 0\nEndAxis\nEndJoystick\n\x01\xff garbage\nBeginJoystick = \nBeginAxis = 0\nEndAxis\n"
              "BeginJoystick = pad\nBeginAxis = many\nEndAxis\nBeginAxis = 2\nMinimum = lots\n"
              "Maximum = 99999999999999999999\nCenter\nBeginAxis = -1\n");  // never closed
    JoystickCalibration calibration;
    ASSERT_TRUE(calibration.load("broken.cal"));
    EXPECT_EQ(calibration.find(""), nullptr);
    ASSERT_NE(calibration.find("pad"), nullptr);
    EXPECT_EQ(calibration.find("pad")->axes.size(), 1u);
    const AxisCalibration axis = calibration.axis("pad", 2);
    EXPECT_EQ(std::make_tuple(axis.minimum, axis.maximum, axis.center), std::make_tuple(-32767, INT_MAX, 0));
}

TEST(AxisCalibrationTest, NullZoneReadsZeroFullDeflectionReadsOneFlippedTurnsRound) {
    AxisCalibration axis{-1000, 100, 1100, 50};
    for (int raw : {100, 60, 150, 50}) {
        EXPECT_EQ(axis.coefficient(raw), 0.0) << raw;
    }
    // Just outside the zone the value starts from zero, not from the zone's edge.
    EXPECT_NEAR(axis.coefficient(151), 1.0 / 950.0, 1e-12);
    EXPECT_NEAR(axis.coefficient(49), -1.0 / 1050.0, 1e-12);
    EXPECT_DOUBLE_EQ(axis.coefficient(625), 0.5);
    for (const auto& [raw, value] : {std::pair{1100, 1.0}, {-1000, -1.0}, {32767, 1.0}, {-32768, -1.0}}) {
        EXPECT_DOUBLE_EQ(axis.coefficient(raw), value) << raw;
    }
    axis.flipped = true;
    EXPECT_DOUBLE_EQ(axis.coefficient(1100), -1.0);
    EXPECT_DOUBLE_EQ(axis.coefficient(-1000), 1.0);
    EXPECT_FALSE(std::signbit(axis.coefficient(100)));

    // Nonsense calibrations: no range, a zone wider than the range, swapped ends, the ends
    // of int, a negative zone (counts as none).
    const AxisCalibration nonsense[] = {
        {0, 0, 0, 0}, {-100, 0, 100, 500}, {100, 0, -100, 0}, {INT_MIN, INT_MAX, INT_MIN, 0}, {-100, 0, 100, -50}};
    for (const AxisCalibration& odd : nonsense) {
        for (int raw : {-32768, -1, 0, 1, 32767}) {
            EXPECT_TRUE(std::abs(odd.coefficient(raw)) <= 1.0) << odd.coefficient(raw);
        }
    }
    EXPECT_DOUBLE_EQ(nonsense[1].coefficient(32767), 1.0);
    EXPECT_DOUBLE_EQ(nonsense[4].coefficient(50), 0.5);
}

}  // namespace
