#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/joystick.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "input/Joystick.h"
#include "support/TempDataDir.h"

namespace {

// A joystick fed through a pipe: the test writes the records a joystick device would.
struct PipeJoystick {
    PipeJoystick(int axes, int buttons, const std::string& calibrationPath = "") {
        int ends[2] = {-1, -1};
        EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        writer = FileDescriptor(ends[1]);
        joystick = std::make_unique<Joystick>(FileDescriptor(ends[0]), axes, buttons, "/dev/input/js7", calibrationPath);
    }
    void send(std::uint8_t type, std::uint8_t number, std::int16_t value) {
        const js_event event{0, value, type, number};
        writeBytes(&event, sizeof event);
    }
    void writeBytes(const void* bytes, std::size_t size) {
        ASSERT_EQ(::write(writer.get(), bytes, size), static_cast<ssize_t>(size));
    }
    // Sends these states of a button, then tells what each of the next updates reports for
    // it: 'P' pressed, 'R' released, '.' nothing.
    std::string edges(int button, std::initializer_list<std::int16_t> states, int updates) {
        for (const std::int16_t state : states) {
            send(JS_EVENT_BUTTON, static_cast<std::uint8_t>(button), state);
        }
        std::string seen;
        for (int i = 0; i < updates; ++i) {
            joystick->update();
            EXPECT_FALSE(joystick->wasPressed(button) && joystick->wasReleased(button));
            seen += joystick->wasPressed(button) ? 'P' : joystick->wasReleased(button) ? 'R' : '.';
        }
        return seen;
    }

    FileDescriptor writer;
    std::unique_ptr<Joystick> joystick;
};

TEST(JoystickTest, AHeldButtonGivesOnePressAndLaterOneRelease) {
    PipeJoystick pad(2, 4);
    ASSERT_TRUE(pad.joystick->isOpened());
    EXPECT_EQ(pad.joystick->buttonCount() * 10 + pad.joystick->axisCount(), 42);
    EXPECT_EQ(pad.edges(2, {1}, 10), "P.........");
    EXPECT_EQ(pad.edges(2, {0}, 5), "R....");
    // A tap shorter than a tick, and a let-go-and-grab-again, lose neither edge.
    EXPECT_EQ(pad.edges(0, {1, 0}, 3), "PR.");
    EXPECT_EQ(pad.edges(0, {1}, 1), "P");
    EXPECT_EQ(pad.edges(0, {0, 1}, 3), "RP.");

    // The driver's opening report of a held button is no press; its release is.
    pad.send(JS_EVENT_BUTTON | JS_EVENT_INIT, 3, 1);
    EXPECT_EQ(pad.edges(3, {}, 1), ".");
    EXPECT_EQ(pad.edges(3, {0}, 1), "R");
    // A stream that ends lets go of everything.
    EXPECT_EQ(pad.edges(1, {1}, 1), "P");
    pad.writer.reset();
    EXPECT_EQ(pad.edges(1, {}, 2), "R.");
}

TEST(JoystickTest, AxesReportTheirCalibratedValueOnEveryUpdate) {
    TempDataDir dir;
    dir.write("joystick.cal",
              "BeginJoystick = /dev/input/js7\n  BeginAxis = 1\n    Minimum = -20000\n    Center = 1000\n"
              "    Maximum = 21000\n    NullZone = 1500\n    Flipped\n  EndAxis\nEndJoystick\n");
    PipeJoystick pad(2, 0, "joystick.cal");
    Joystick& joystick = *pad.joystick;
    pad.send(JS_EVENT_AXIS | JS_EVENT_INIT, 1, 1800);  // resting inside the null zone
    pad.send(JS_EVENT_AXIS, 0, 16384);
    for (int tick = 0; tick < 3; ++tick) {
        joystick.update();
        EXPECT_NEAR(joystick.axis(0), 16384.0f / 32767.0f, 1e-6f);
        EXPECT_EQ(joystick.axis(1), 0.0f);
    }
    pad.send(JS_EVENT_AXIS, 1, 21000);
    for (int tick = 0; tick < 2; ++tick) {
        joystick.update();
        EXPECT_EQ(joystick.axis(1), -1.0f);
    }
    EXPECT_EQ(joystick.axis(2) + joystick.axis(-1), 0.0f);
    pad.writer.reset();
    joystick.update();
    EXPECT_EQ(joystick.axis(1), 0.0f);
}

TEST(JoystickTest, ShortReadsGarbageAndFloodsAreSurvived) {
    PipeJoystick pad(2, 3);
    const js_event split[2] = {{0, 1, JS_EVENT_BUTTON, 0}, {0, -32767, JS_EVENT_AXIS, 0}};
    const auto* bytes = reinterpret_cast<const unsigned char*>(split);
    pad.writeBytes(bytes, 3);
    EXPECT_EQ(pad.edges(0, {}, 1), ".");
    pad.writeBytes(bytes + 3, 10);
    EXPECT_EQ(pad.edges(0, {}, 1), "P");
    pad.writeBytes(bytes + 13, sizeof split - 13);
    pad.joystick->update();
    EXPECT_EQ(pad.joystick->axis(0), -1.0f);

    pad.send(JS_EVENT_BUTTON, 3, 1);
    pad.send(JS_EVENT_BUTTON, 255, 1);
    pad.send(JS_EVENT_AXIS, 200, 32767);
    pad.send(0x40, 1, 1);
    std::vector<unsigned char> noise(sizeof(js_event) * 300);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<unsigned char>((i * 37 + 11) % 256);
    }
    pad.writeBytes(noise.data(), noise.size());
    // More records than one update takes in: the rest wait, in order.
    for (int i = 0; i < 2000; ++i) {
        pad.send(JS_EVENT_AXIS, 1, static_cast<std::int16_t>(i));
    }
    for (int tick = 0; tick < 5; ++tick) {
        pad.joystick->update();
        for (int n = -2; n < 300; ++n) {
            EXPECT_LE(std::abs(pad.joystick->axis(n)), 1.0f);
            EXPECT_FALSE((n < 0 || n >= 3) && (pad.joystick->wasPressed(n) || pad.joystick->wasReleased(n)));
        }
    }
    EXPECT_NEAR(pad.joystick->axis(1), 1999.0f / 32767.0f, 1e-6f);
    PipeJoystick huge(1 << 30, -1);
    EXPECT_EQ(huge.joystick->axisCount() * 1000 + huge.joystick->buttonCount(), 255000);
}

TEST(JoystickTest, AFailedOpenSaysWhyOnceAndNeverReports) {
    TempDataDir dir;
    dir.write("js0", "not a joystick");
    const std::string cannotAccess = "Cannot access resources while initializing joystick ";
    const std::string invalid = "Invalid value encountered while initializing joystick ";
    for (const auto& [path, message] : {std::pair{dir.path() + "/js1", cannotAccess}, {std::string(), cannotAccess},
                                        {dir.path() + "/js0", invalid}, {std::string("/dev/null"), invalid}}) {
        testing::internal::CaptureStdout();
        Joystick joystick(path, "");
        for (int tick = 0; tick < 3; ++tick) {
            joystick.update();
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), message + path + ".\n");
        EXPECT_FALSE(joystick.isOpened());
        EXPECT_EQ(joystick.buttonCount() + joystick.axisCount(), 0);
        EXPECT_FALSE(joystick.wasPressed(0) || joystick.wasReleased(0));
        EXPECT_EQ(joystick.axis(0), 0.0f);
    }
}

}  // namespace
