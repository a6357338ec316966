#include "input/JoystickState.h"

JoystickState::JoystickState(int axisCount, int buttonCount)
    : buttons(static_cast<std::size_t>(buttonCount > 0 ? buttonCount : 0)),
      axes(static_cast<std::size_t>(axisCount > 0 ? axisCount : 0), 0) {}

void JoystickState::update(const js_event* events, std::size_t count) {
    for (Button& button : buttons) {
        button.edge = Edge::None;
        button.moved = button.held != button.reported;
    }
    for (std::size_t i = 0; i < count; ++i) {
        apply(events[i]);
    }
    for (Button& button : buttons) {
        if (button.moved) {
            button.edge = button.reported ? Edge::Released : Edge::Pressed;
            button.reported = !button.reported;
            button.moved = false;
        }
    }
}

void JoystickState::apply(const js_event& event) {
    // The driver's opening burst describes how the device already is, not a change:
    // a button held while the game starts gives no press, only its later release.
    const bool initial = (event.type & JS_EVENT_INIT) != 0;
    const unsigned number = event.number;
    switch (event.type & ~JS_EVENT_INIT) {
    case JS_EVENT_BUTTON:
        if (number < buttons.size()) {
            Button& button = buttons[number];
            button.held = event.value != 0;
            if (initial) {
                button.reported = button.held;
                button.moved = false;
            } else if (button.held != button.reported) {
                button.moved = true;
            }
        }
        break;
    case JS_EVENT_AXIS:
        if (number < axes.size()) {
            axes[number] = event.value;
        }
        break;
    default:
        break;
    }
}

bool JoystickState::wasPressed(int button) const {
    return button >= 0 && static_cast<std::size_t>(button) < buttons.size() &&
           buttons[static_cast<std::size_t>(button)].edge == Edge::Pressed;
}

bool JoystickState::wasReleased(int button) const {
    return button >= 0 && static_cast<std::size_t>(button) < buttons.size() &&
           buttons[static_cast<std::size_t>(button)].edge == Edge::Released;
}

int JoystickState::rawAxis(int axis) const {
    return axis >= 0 && static_cast<std::size_t>(axis) < axes.size() ? axes[static_cast<std::size_t>(axis)] : 0;
}
