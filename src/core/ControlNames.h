#pragma once

// The settings keys of the eight controls each player has: "player1" or "player2"
// followed by a control name gives its key, "joystickPlayer1" or "joystickPlayer2"
// followed by a button name its joystick button. The start button's key has no
// "Button" in it, as existing config files spell it.
namespace ControlNames {

inline constexpr const char* keys[] = {"Left", "Right", "Up", "Down", "Attack", "PickUp", "Drop", "Start"};
inline constexpr const char* buttons[] = {"ButtonLeft",   "ButtonRight",  "ButtonUp",   "ButtonDown",
                                          "ButtonAttack", "ButtonPickUp", "ButtonDrop", "Start"};

}  // namespace ControlNames
