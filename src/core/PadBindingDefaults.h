#pragma once

// The gamepad side of the eight controls: each player's pad buttons live in the integer
// settings "padPlayer1Left" ... "padPlayer2Start", holding SDL game-controller button
// numbers, and a pad works without any of them set, in the usual layout.
namespace PadBindingDefaults {

// Settings key of a control's pad button: "padPlayer1" or "padPlayer2" then this.
inline constexpr const char* keySuffixes[] = {"Left", "Right", "Up", "Down", "Attack", "PickUp", "Drop", "Start"};
// The usual layout, control by control: the d-pad walks, A attacks, X picks up, B drops.
inline constexpr int buttons[] = {13, 14, 11, 12, 0, 2, 1, 6};

// What a button is called on screen, by SDL button number; nullptr past the table.
inline const char* buttonName(int button) {
    static constexpr const char* names[] = {"A",  "B",  "X",        "Y",          "Back",       "Guide",      "Start", "L3",
                                            "R3", "LB", "RB",       "D-pad up",   "D-pad down", "D-pad left", "D-pad right"};
    return button >= 0 && button < static_cast<int>(sizeof names / sizeof names[0]) ? names[button] : nullptr;
}

}  // namespace PadBindingDefaults
