#pragma once

#include <string>
#include <vector>

#include "replay/ReplayFile.h"

// The settings a replay plays by: this machine's own, with the recorded game tuning
// (see GameTuning), the recorded control bindings (so that the recorded keys, buttons
// and sticks mean what they meant) and the recorded mode. While it plays nothing is
// recorded and no coin server is asked: the counts are in the file. Nothing else a
// replay says reaches the store, and restore() puts the store back exactly as it was.
class ReplaySettings {
public:
    // Remembers the store and installs the replay's settings.
    explicit ReplaySettings(const ReplayFile& replay);
    // Restores, if that has not happened yet.
    ~ReplaySettings();
    ReplaySettings(const ReplaySettings&) = delete;
    ReplaySettings& operator=(const ReplaySettings&) = delete;

    void restore();

    // What a recording keeps of this machine's settings: the game tuning and every
    // control binding, all that playback uses. Folders, hosts, devices and the rest of a
    // player's machine stay out of a replay that may be shared.
    static std::vector<std::string> recordedLines();

private:
    std::vector<std::string> ownLines;
    bool installed = true;
};
