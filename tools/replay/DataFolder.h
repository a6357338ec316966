#pragma once

#include <string>

// Where the replay tool finds the game's data when no --data names it, so that it runs
// alike from a data folder, from the source tree (its data/ folder) and from anywhere
// on a machine where the game is installed.
class DataFolder {
public:
    // The first folder of: the current one, ./data, the installed data beside
    // `executablePath` (as the game finds it) that holds the data files replays are
    // checked against; empty when none does.
    static std::string find(const std::string& executablePath);

    // Whether `folder` has the animations and levels that every replay names.
    static bool holdsData(const std::string& folder);
};
