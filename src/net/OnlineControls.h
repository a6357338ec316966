#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/InputEvent.h"

// Whose input is whose in an online game. Both machines bind the 16 controls to
// synthetic key codes and the two players' sticks to fixed joystick numbers, so an
// event means the same on both; this machine's own player-1 keys, buttons and stick,
// and its first pad (as its settings had them when the session began) become the
// events of its slot.
class OnlineControls {
public:
    // Reads this machine's player-1 keys and joystick from the settings now in force.
    explicit OnlineControls(int slot);

    // The settings lines that bind every control and stick the same way on both sides.
    static std::vector<std::string> bindingLines();
    // Whether an event a peer in `slot` sent is one that peer may send: its own
    // controls and stick, and the keys that work the shared menus. Nothing else of the
    // other machine's may act on this one.
    static bool belongsTo(const InputEvent& event, int slot);

    // A real key as the game should see it: a control key becomes the slot's
    // synthetic key; Escape, Enter and space stay as they are; any other key gives
    // nothing, since the other side would refuse it.
    std::optional<InputEvent> key(int key, bool down) const;
    std::optional<InputEvent> button(int joystick, int button, bool down) const;
    std::optional<InputEvent> axis(int joystick, int axis, double value) const;

private:
    int slot = 0;
    std::array<int, 8> keys{};
    std::array<int, 8> buttons{};
    std::array<int, 8> padButtons{};
    int joystick = 0;
    int xAxis = 0;
    int yAxis = 0;
    double xFlip = 1.0;
    double yFlip = 1.0;
};
