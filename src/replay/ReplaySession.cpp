#include "replay/ReplaySession.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/DataDigest.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayViewer.h"

namespace {

// The newest replays kept in the recording folder; older ones are deleted.
constexpr int kKeptReplays = 100;

struct Session {
    std::unique_ptr<ReplayFile> replay;
    std::unique_ptr<ReplayViewer> player;
    std::unique_ptr<Recorder> recorder;
};

Session& session() {
    static Session current;
    return current;
}

void finishRecording() {
    if (Recorder* recorder = session().recorder.get()) recorder->finish();
}

}  // namespace

void ReplaySession::prepare(const std::string& dataDirectory) {
    Settings& settings = Settings::instance();
    const std::string wanted = settings.getString("playReplay");
    if (wanted.empty()) return;
    const std::string name = Recorder::expandHome(wanted);
    if (name.empty()) {
        std::cout << "Cannot play the replay " << wanted << ": HOME names no home folder.\n";
        return;
    }
    auto replay = std::make_unique<ReplayFile>();
    std::string error;
    if (!ReplayReader::read(name, *replay, error)) {
        std::cout << error << "\n";
        return;
    }
    error = DataDigest::mismatch(replay->data, dataDirectory.empty() ? "." : dataDirectory);
    if (!error.empty()) {
        std::cout << name << ": " << error << "\n";
        return;
    }
    Session& current = session();
    current.replay = std::move(replay);
    // Its settings are in force from here, before the Game reads any.
    current.player = std::make_unique<ReplayViewer>(*current.replay, name, true);
}

void ReplaySession::start() {
    Session& current = session();
    if (current.player) {
        std::cout << "Playing the replay " << current.replay->source
                  << "; Space pauses, '.' steps, Left and Right jump 10 s, Up and Down change the speed, Escape "
                     "stops it.\n";
        current.player->begin();
        return;
    }
    const std::string directory = Settings::instance().getString("replayDirectory");
    if (directory.empty()) return;
    current.recorder = std::make_unique<Recorder>(directory, kKeptReplays);
    InputSeam::instance().setListener(current.recorder.get());
    // Closing the window ends the program from inside the game; its replay still gets
    // its end record.
    std::atexit(finishRecording);
}
