#pragma once

// One input as it reaches the Game: a key, a joystick button or axis, or the credit
// count one coin-server poll returned. Everything a replay records and plays back.
struct InputEvent {
    enum class Kind : char { Key = 'k', Button = 'b', Axis = 'a', Credits = 'c' };

    Kind kind = Kind::Key;
    // Joystick number for buttons and axes; for credits, which poll of the tick it was.
    int device = 0;
    // Key code, button or axis number, or the credit count.
    int code = 0;
    bool down = false;
    double value = 0.0;  // axis position, -1..1

    static InputEvent key(int key, bool down) { return {Kind::Key, 0, key, down, 0.0}; }
    static InputEvent button(int joystick, int button, bool down) { return {Kind::Button, joystick, button, down, 0.0}; }
    static InputEvent axis(int joystick, int axis, double value) { return {Kind::Axis, joystick, axis, false, value}; }
    static InputEvent credits(int poll, int count) { return {Kind::Credits, poll, count, false, 0.0}; }

    bool operator==(const InputEvent& other) const {
        return kind == other.kind && device == other.device && code == other.code && down == other.down &&
               value == other.value;
    }
};
