#pragma once

#include <linux/joystick.h>

#include <cstddef>
#include <vector>

// Button edges and raw axis readings decoded from joystick events. Each update reports
// at most one edge per button, and edges alternate, so a tap shorter than a tick shows
// as a press on one update and its release on the next instead of vanishing. Events
// for buttons or axes the joystick does not have, and events of unknown types, are
// skipped.
class JoystickState {
public:
    JoystickState(int axes, int buttons);

    // Applies the events that arrived since the last update, in order.
    void update(const js_event* events, std::size_t count);

    int axisCount() const { return static_cast<int>(axes.size()); }
    int buttonCount() const { return static_cast<int>(buttons.size()); }
    bool wasPressed(int button) const;
    bool wasReleased(int button) const;
    // The latest raw reading; 0 for an axis the joystick does not have.
    int rawAxis(int axis) const;

private:
    enum class Edge { None, Pressed, Released };
    struct Button {
        // The state the game was last told about, and the device's latest state.
        bool reported = false;
        bool held = false;
        // Moved away from the reported state at some point during this update.
        bool moved = false;
        Edge edge = Edge::None;
    };

    void apply(const js_event& event);

    std::vector<Button> buttons;
    std::vector<int> axes;
};
