#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "FuzzSupport.h"
#include "core/Game.h"
#include "input/Joystick.h"

// The input is a joystick's event stream: two bytes give its axis and button counts,
// then each chunk (a length byte and that many bytes of event records, cut anywhere)
// arrives before one tick, and the tick hands edges and axes to the game as the main
// loop does. At the end the stream closes, as when the device is unplugged.
namespace {

const char* const kCalibration =
    "BeginJoystick = /dev/input/js0\n"
    "BeginAxis = 0\nMinimum = -30000\nCenter = 100\nMaximum = 29000\nNullZone = 2000\nEndAxis\n"
    "BeginAxis = 1\nMinimum = 0\nCenter = 0\nMaximum = 0\nNullZone = -5\nFlipped\nEndAxis\n"
    "EndJoystick\n";

void tick(Joystick& joystick, Game& game) {
    joystick.update();
    for (int button = 0; button < joystick.buttonCount(); ++button) {
        if (joystick.wasPressed(button) && joystick.wasReleased(button)) {
            std::abort();
        }
        if (joystick.wasPressed(button) || joystick.wasReleased(button)) {
            game.joystickButton(0, button, joystick.wasPressed(button));
        }
    }
    for (int axis = 0; axis < joystick.axisCount(); ++axis) {
        const float value = joystick.axis(axis);
        if (!(value >= -1.0f && value <= 1.0f)) {
            std::abort();
        }
        game.joystickAxis(0, axis, value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (fuzz::writeFile("joystick.cal", kCalibration), true);
    (void)ready;
    fuzz::ByteReader input(data, size);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        std::abort();
    }
    FileDescriptor writer(ends[1]);
    const int axes = input.byte();
    const int buttons = input.byte();
    Joystick joystick(FileDescriptor(ends[0]), axes, buttons, "/dev/input/js0", "joystick.cal");
    Game& game = Game::instance();
    while (!input.empty()) {
        const std::string chunk = input.take(input.byte());
        if (!chunk.empty() && write(writer.get(), chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) {
            std::abort();
        }
        tick(joystick, game);
    }
    // The stream ends as an unplugged device's does: everything held is let go.
    writer.reset();
    tick(joystick, game);
    tick(joystick, game);
    return 0;
}
