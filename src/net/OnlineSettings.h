#pragma once

#include <string>
#include <vector>

// The settings of an online game: this machine's own, with the host's game tuning
// (see GameTuning; nothing else of the host's reaches this machine) and every control
// bound the same way on both sides. This machine's own settings come back at restore(),
// which the session calls as its game ends, before anything else is shown, or at the
// latest when this goes.
class OnlineSettings {
public:
    // Remembers the store as it is now.
    OnlineSettings();
    ~OnlineSettings();
    OnlineSettings(const OnlineSettings&) = delete;
    OnlineSettings& operator=(const OnlineSettings&) = delete;

    // What a host sends: the game tuning of the remembered store, and nothing of its
    // machine (its folders, devices, window or mode).
    std::vector<std::string> tuning() const;
    // Puts the host's game tuning in force in place of this machine's, clamped into
    // each key's limits, with the online control bindings.
    void install(const std::vector<std::string>& hostTuning);
    // Puts the remembered store back exactly, if install ran; does nothing after that.
    void restore();

private:
    std::vector<std::string> ownLines;
    bool installed = false;
};
