#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "core/Game.h"
#include "core/Settings.h"
#include "input/InputDevices.h"
#include "support/TempDataDir.h"

using ::testing::HasSubstr;
using ::testing::Not;

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
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(devices.getJoysticks().size(), 1u);
    EXPECT_FALSE(devices.getJoysticks()[0]->isOpened());
    EXPECT_THAT(output,
                HasSubstr("Cannot access resources while initializing joystick " + dir.path() + "/second-js.\n"));
    EXPECT_THAT(output, Not(HasSubstr("first-js")));
    EXPECT_THAT(output, Not(HasSubstr("Joystick Button")));
    EXPECT_THAT(output, Not(HasSubstr("Joystick Axis")));
}

}  // namespace
