#pragma once

#include <string>
#include <vector>

// The settings of an online game: the host's, with this machine's own window, devices,
// data folder, replay folder and online keys kept, and every control bound the same
// way on both sides. This machine's own settings come back when the game is over.
class OnlineSettings {
public:
    // Remembers the store as it is now.
    OnlineSettings();
    // Puts the remembered store back, if install ran.
    ~OnlineSettings();
    OnlineSettings(const OnlineSettings&) = delete;
    OnlineSettings& operator=(const OnlineSettings&) = delete;

    const std::vector<std::string>& own() const { return ownLines; }
    void install(const std::vector<std::string>& hostLines);

private:
    std::vector<std::string> ownLines;
    bool installed = false;
};
