#include "replay/ReplayPlayer.h"

#include <iostream>
#include <sstream>

#include "arcade/CoinClient.h"
#include "core/Game.h"
#include "core/Settings.h"

namespace {

// Keys that describe this machine rather than the game: they stay as configured here.
const char* const kMachineKeys[] = {
    "width", "height", "fullscreen", "dataDirectory", "music", "musicVolume", "effectsVolume", "joystick1Enabled",
    "joystick2Enabled", "joystickDevice1", "joystickDevice2", "joystickCalibration",
};
// Playback neither records itself again nor asks a coin server: the counts are in the file.
const char* const kSilencedKeys[] = {"replayDirectory", "playReplay", "coin_host", "coin_port"};

constexpr int kEscape = 27;

}  // namespace

ReplayPlayer::ReplayPlayer(const ReplayFile& recorded, std::string replayName, bool announceDifferences)
    : replay(recorded), name(std::move(replayName)), announce(announceDifferences) {}

ReplayPlayer::~ReplayPlayer() { release(); }

void ReplayPlayer::installSettings(const ReplayFile& replay) {
    Settings& settings = Settings::instance();
    std::vector<std::string> lines = replay.settings;
    // This machine's lines come last, so they win over the recorded ones.
    for (const std::string& line : machineLines(settings.toLines())) lines.push_back(line);
    settings.replaceWith(lines);
    for (const char* key : kSilencedKeys) settings.setString(key, "");
}

std::vector<std::string> ReplayPlayer::machineLines(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string type;
        std::string key;
        words >> type >> key;
        for (const char* machineKey : kMachineKeys) {
            if (key == machineKey) kept.push_back(line);
        }
    }
    return kept;
}

void ReplayPlayer::begin() {
    InputSeam& seam = InputSeam::instance();
    seam.setReplacement(this);
    Game& game = Game::instance();
    // The count the coin client held when the recorded game began.
    game.getCoinClient()->poll();
    game.restoreControls(replay.controls);
    game.clearBackground();
    game.closeMenu();
    game.startGame(replay.start.player1, replay.start.player2, replay.start.levelFile);
    if (!replay.endedInMenu && replay.endTick == 0) {
        compare(replay.endDigest);
        stop();
    }
}

void ReplayPlayer::release() {
    InputSeam& seam = InputSeam::instance();
    if (seam.getReplacement() == this) seam.setReplacement(nullptr);
}

void ReplayPlayer::stop() {
    finish();
    release();
    Game::instance().showMainMenu();
}

void ReplayPlayer::finish() {
    if (finished) return;
    finished = true;
    if (!announce) return;
    std::cout << name << ": replay finished after " << ticks << " ticks: "
              << (firstDifferenceTick < 0 ? "matches" : "differs at tick " + std::to_string(firstDifferenceTick))
              << "\n";
}

void ReplayPlayer::playStarted(const InputSeam::PlayStart&) { started = true; }

void ReplayPlayer::tickStarting() {
    // A coin count waits for its poll, which comes with a key press or the tick's update.
    while (!finished && next < replay.events.size() && replay.events[next].tick == ticks &&
           replay.events[next].event.kind != InputEvent::Kind::Credits) {
        const InputEvent event = replay.events[next++].event;
        InputSeam::instance().deliver(event);
    }
}

int ReplayPlayer::credits(int poll, int held) {
    if (!started) return replay.credits;
    if (next < replay.events.size()) {
        const ReplayFile::TimedEvent& due = replay.events[next];
        if (due.tick == ticks && due.event.kind == InputEvent::Kind::Credits && due.event.device == poll) {
            ++next;
            return due.event.code;
        }
    }
    return held;
}

void ReplayPlayer::tickEnded() {
    if (finished) return;
    ++ticks;
    // Input of a finished tick that no poll took belongs to no later tick.
    while (next < replay.events.size() && replay.events[next].tick < ticks) ++next;
    const auto digest = replay.digests.find(ticks);
    if (digest != replay.digests.end()) compare(digest->second);
    if (ticks == replay.endTick && !replay.endedInMenu) {
        // The program ended after this tick; what came in before it ended counts too.
        tickStarting();
        compare(replay.endDigest);
        stop();
    } else if (ticks > replay.endTick) {
        differs("the recorded game ended at tick " + std::to_string(replay.endTick) + " but this one goes on");
        stop();
    }
}

void ReplayPlayer::playEnded() {
    if (finished) return;
    if (ticks != replay.endTick) {
        differs("the game ended at tick " + std::to_string(ticks) + " but the recorded one at tick " +
                std::to_string(replay.endTick));
    } else {
        compare(replay.endDigest);
    }
    finish();
    release();
}

void ReplayPlayer::liveKey(int key, bool down) {
    if (down && key == kEscape && !finished) {
        if (announce) std::cout << name << ": replay stopped at tick " << ticks << "\n";
        finished = true;
        stop();
    }
}

void ReplayPlayer::compare(const StateDigest& recorded) {
    ++compared;
    const std::string difference = StateDigest::of(Game::instance()).firstDifference(recorded);
    if (!difference.empty()) differs(difference);
}

void ReplayPlayer::differs(const std::string& what) {
    if (firstDifferenceTick >= 0) return;
    firstDifferenceTick = ticks;
    firstDifference = what;
    if (announce) {
        std::cout << name << ": differs at tick " << ticks << ": " << what << "\n";
    }
}
