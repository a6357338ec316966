#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/PlayerConfig.h"

// The keys and pad buttons of both players' eight controls (0-7 player 1, 8-15 player
// 2, in the order left, right, up, down, attack, pick up, drop, start), as the settings
// hold them, and the rules of rebinding. A key belongs to one control only: binding it
// to another swaps the two controls' keys. A pad button belongs to one control of its
// player only (each player has a pad of their own), with the same swap.
class ControlBindings {
public:
    static constexpr int Count = 16;

    // As the settings store has them now; a pad button not set is the usual layout's.
    static ControlBindings inForce();
    // As the game ships them: the bundled settings file's bindings where it has them,
    // else the usual layout's pad buttons and, for keys, those of `unshipped` (a game
    // without a bundled file is never left without keys).
    static ControlBindings bundled(const std::string& bundledConfigFile, const ControlBindings& unshipped);

    int key(int control) const { return keys[control]; }
    int padButton(int control) const { return pads[control]; }

    // Each returns the changes to put in force and save: the control's own binding and,
    // after a swap, the other control's.
    std::vector<PlayerConfig::Change> bindKey(int control, int key);
    std::vector<PlayerConfig::Change> bindPadButton(int control, int button);
    // Every binding of `other` that differs from this one's, taken over.
    std::vector<PlayerConfig::Change> takeOver(const ControlBindings& other);

    static std::string keySetting(int control);
    static std::string padSetting(int control);

private:
    PlayerConfig::Change keyChange(int control) const;
    PlayerConfig::Change padChange(int control) const;

    std::array<int, Count> keys{};
    std::array<int, Count> pads{};
};
