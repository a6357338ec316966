#pragma once

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/InputSeam.h"
#include "replay/ReplayFile.h"

// Listens at the input seam and writes every game, from its start to the return to
// the menu, as a replay file: the header, each tick's input, a state digest every
// second and at the end. A file that cannot be written costs one line on the console;
// the game goes on unrecorded.
class Recorder : public InputSeam::Listener {
public:
    // Each game into a new "YYYYMMDD-HHMMSS.replay" in `directory` (created if missing),
    // keeping the newest `keep` replays there: of the files with names it gives, the
    // oldest by their time stamp are deleted; no other file is touched.
    Recorder(std::string directory, int keep);
    // Only the next game, into `path`, with these settings in its header instead of the
    // store's (re-recording a replay keeps the settings it was recorded with).
    // `tickLimit` is the longest game a replay holds (tests shorten it).
    Recorder(std::string path, std::vector<std::string> settings, int tickLimit = ReplayFile::MostTicks);
    ~Recorder() override;

    void playStarted(const InputSeam::PlayStart& start) override;
    void inputDelivered(const InputEvent& event) override;
    void tickEnded() override;
    void pastTickEnded(const std::string& digestText) override;
    void playEnded() override;

    // The program is ending in the middle of a game: close its file properly.
    void finish();

    const std::string& currentPath() const { return path; }

    // "~/x" lies under the home folder, and is empty when HOME is unset, empty, "/" or
    // not absolute; anything else is taken as it is.
    static std::string expandHome(const std::string& directory);

private:
    std::string newFilePath() const;
    void pruneOldReplays() const;
    // A tick ended; `digestText`, when given, is the game's state after it.
    void endTick(const std::string* digestText);
    void writeEnd(const char* how);
    void check();

    std::string wantedDirectory;
    std::string directory;
    int keep = 0;
    // The folder named a home that HOME does not give; said once.
    bool homeless = false;
    std::optional<std::vector<std::string>> fixedSettings;
    std::string path;
    std::ofstream out;
    bool recording = false;
    int ticks = 0;
    int tickLimit = ReplayFile::MostTicks;
    // Axis values repeat every tick; only a change is worth a line.
    std::map<std::pair<int, int>, double> lastAxis;
};
