#pragma once

#include <SDL_gamecontroller.h>

#include <string>

#include "core/Settings.h"

// Which pad button is which control. A pad reaches the Game as a joystick numbered
// FirstJoystick + its slot (slot 0 drives player 1, slot 1 player 2), its buttons and
// axes numbered as SDL's game controller API numbers them. Each player's eight controls
// are bound by the integer settings "padPlayer1" or "padPlayer2" followed by the
// control's name; a key no settings file has takes the usual layout below, so an older
// config still gets working pads. Back is no binding: it always does what Escape does.
namespace PadLayout {

inline constexpr int FirstJoystick = 10;
// Pads that drive a player; further pads are seen and named but drive nobody.
inline constexpr int PlayerSlots = 2;

struct Binding {
    const char* control;  // as ControlNames::keys has it
    int defaultButton;    // an SDL_GameControllerButton
};

// In the order of the Game's controls: left, right, up, down, attack, pick up, drop, start.
inline constexpr Binding bindings[8] = {
    {"Left", SDL_CONTROLLER_BUTTON_DPAD_LEFT}, {"Right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {"Up", SDL_CONTROLLER_BUTTON_DPAD_UP},     {"Down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {"Attack", SDL_CONTROLLER_BUTTON_A},       {"PickUp", SDL_CONTROLLER_BUTTON_X},
    {"Drop", SDL_CONTROLLER_BUTTON_B},         {"Start", SDL_CONTROLLER_BUTTON_START},
};

// "padPlayer1Attack" and the like; player is 0 or 1, control 0 to 7.
inline std::string settingsKey(int player, int control) {
    return "padPlayer" + std::to_string(player + 1) + bindings[control].control;
}

// The button bound to a control: the setting, or the usual layout when it is absent.
// A number that is no button of SDL's leaves the control without a pad button.
inline int boundButton(Settings& settings, int player, int control) {
    return settings.getIntOr(settingsKey(player, control), bindings[control].defaultButton);
}

// A short name for a button, as a player reads it on the pad ("" for no button).
inline const char* buttonName(int button) {
    static constexpr const char* names[SDL_CONTROLLER_BUTTON_MAX] = {
        "A",         "B",          "X",         "Y",           "Back",       "Guide",     "Start",
        "L3",        "R3",         "LB",        "RB",          "D-pad up",   "D-pad down", "D-pad left",
        "D-pad right", "Share",    "Paddle 1",  "Paddle 2",    "Paddle 3",   "Paddle 4",  "Touchpad",
    };
    return button >= 0 && button < SDL_CONTROLLER_BUTTON_MAX ? names[button] : "";
}

}  // namespace PadLayout
