#include <gtest/gtest.h>

#include "core/Game.h"
#include "core/Settings.h"
#include "input/InputDevices.h"
#include "support/TempDataDir.h"

namespace {

TEST(InputDevicesTest, OnlyTheSecondJoystickEnabledBecomesJoystickZero) {
    TempDataDir dir;
    Settings& settings = Settings::instance();
    settings.setInt("joystick1Enabled", 0);
    settings.setInt("joystick2Enabled", 1);
    settings.setString("joystickDevice1", dir.path() + "/first-js");
    settings.setString("joystickDevice2", dir.path() + "/second-js");
    Game::instance().keyboard(268, 0, true, 0);  // F12: every joystick event is printed
    ASSERT_TRUE(Game::instance().isJoystickDebug());

    InputDevices devices;
    testing::internal::CaptureStdout();
    for (int tick = 0; tick < 5; ++tick) {
        devices.poll();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Cannot access resources while initializing joystick " + dir.path() + "/second-js.\nWiimotes = 0\n");
    ASSERT_EQ(devices.getJoysticks().size(), 1u);
    EXPECT_FALSE(devices.getJoysticks()[0]->isOpened());
}

}  // namespace
