#pragma once

#include <string>
#include <vector>

// The settings that decide how a game goes: speeds, reaches, damages, radii, gravity,
// weapon uses, timers, the blood sprays (their drops draw from the game's random
// generator), the view offsets and the stick dead zone. Another machine's settings
// reach this one only through this list: an online host's, and a replay's. Everything
// else (window, devices, folders, mode, coin server, online keys) always stays this
// machine's own.
namespace GameTuning {

// Whether `key` is one of the game tuning keys.
bool isTuningKey(const std::string& key);

// The game tuning lines among settings-file lines, one per tuning key that has a line
// of its own type with a readable value. A value outside the key's limits is clamped
// into them (NaN to the bound nearest 0), exactly as the key's reader clamps it, so the
// game goes the same on both machines; a flag becomes 0 or 1. Every other line is left
// out; of several lines for one key the last counts, as in a settings file.
std::vector<std::string> linesOf(const std::vector<std::string>& lines);

// `own` without any line for a tuning key (of any type), followed by `tuning`: this
// machine's settings with another's game tuning and none of its own left over.
std::vector<std::string> withTuning(const std::vector<std::string>& own, const std::vector<std::string>& tuning);

}  // namespace GameTuning
