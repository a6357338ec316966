#pragma once

#include <array>

class Game;

// The soak's only way into the game's input: key and joystick events for the two
// players' eight controls, plus the plain keys a person presses (Enter, Escape, F10).
// Every press passes one gate first: nothing that would end the process reaches the
// game, that is no Escape (and no "escape" key) while the main menu or the attract loop
// is open, and no activation while the main menu's quit entry is selected.
class GameInput {
public:
    // The eight controls of a player, in the game's order.
    enum Action { Left, Right, Up, Down, Attack, PickUp, Drop, Start, ActionCount };
    enum class Device { Keyboard, Joystick };

    static constexpr int EnterKey = 13;
    static constexpr int EscapeKey = 27;
    static constexpr int F10Key = 266;

    // Reads the key and button of every control and each player's joystick and axes from
    // the settings, as the game does.
    explicit GameInput(Game& game);

    // Holds or releases a control on the given device.
    void hold(int player, Action action, bool down, Device device);
    // Presses and releases a control at once; false when the gate refused it.
    bool press(int player, Action action, Device device);
    bool pressKey(int key);
    // Deflects a player's stick (each value -1..1; horizontal right, depth out of the screen).
    void deflect(int player, double horizontal, double depth);

    // Whether a press of this control or key could end the process right now.
    bool wouldQuit(int player, Action action) const;
    bool wouldQuit(int key) const;

private:
    bool activationQuits() const;

    Game& game;
    int quitKey;
    std::array<std::array<int, ActionCount>, 2> keys{};
    std::array<std::array<int, ActionCount>, 2> buttons{};
    std::array<int, 2> joystick{};
    std::array<int, 2> xAxis{};
    std::array<int, 2> yAxis{};
    std::array<double, 2> xFlip{};
    std::array<double, 2> yFlip{};
};
