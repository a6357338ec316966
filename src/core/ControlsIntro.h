#pragma once

#include <string>

// Whether a new installation has yet to show its player the controls page before the
// first game. Remembered as the file "controls-shown" in the per-user state folder; a
// folder that cannot be written shows the page once per run instead.
class ControlsIntro {
public:
    // An empty folder never shows it (tests, tools, replays).
    explicit ControlsIntro(std::string stateFolder = "");

    bool due() const;
    // The page has been shown: remember it.
    void shown();

private:
    std::string markerPath() const;

    std::string folder;
    bool shownThisRun = false;
};
