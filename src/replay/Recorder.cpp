#include "replay/Recorder.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "arcade/CoinClient.h"
#include "core/Game.h"
#include "core/GameVersion.h"
#include "core/Settings.h"
#include "replay/DataDigest.h"
#include "replay/ReplayFile.h"
#include "replay/StateDigest.h"

namespace fs = std::filesystem;

Recorder::Recorder(std::string folder, int newest) : directory(expandHome(folder)), keep(newest) {}

Recorder::Recorder(std::string file, std::vector<std::string> settings, int tickLimit_)
    : fixedSettings(std::move(settings)), path(std::move(file)), tickLimit(tickLimit_) {}

Recorder::~Recorder() = default;

std::string Recorder::expandHome(const std::string& folder) {
    const char* home = std::getenv("HOME");
    if (folder.rfind("~/", 0) == 0 && home != nullptr) {
        return std::string(home) + folder.substr(1);
    }
    return folder;
}

std::string Recorder::newFilePath() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Two games begun within one second must not share a file.
    std::string candidate = (fs::path(directory) / (std::string(stamp) + ".replay")).string();
    for (int n = 2; fs::exists(candidate); ++n) {
        candidate = (fs::path(directory) / (std::string(stamp) + "-" + std::to_string(n) + ".replay")).string();
    }
    return candidate;
}

void Recorder::pruneOldReplays() const {
    std::error_code error;
    std::vector<fs::path> replays;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".replay") replays.push_back(entry.path());
    }
    if (static_cast<int>(replays.size()) <= keep) return;
    // The names are time stamps, so name order is age order.
    std::sort(replays.begin(), replays.end());
    for (std::size_t i = 0; i + keep < replays.size(); ++i) fs::remove(replays[i], error);
}

void Recorder::playStarted(const InputSeam::PlayStart& start) {
    if (!fixedSettings) {
        std::error_code error;
        fs::create_directories(directory, error);
        path = newFilePath();
    } else if (path.empty()) {
        return;
    }
    out = std::ofstream(path, std::ios::trunc);
    if (!out) {
        std::cout << "Cannot record the replay " << path << "; this game is not recorded.\n";
        return;
    }
    const Game& game = Game::instance();
    ReplayFile header;
    header.gameVersion = kGameVersion;
    header.arcade = Settings::instance().getInt("arcade") != 0;
    header.start = start;
    header.credits = game.getCoinClient()->getCredits();
    header.controls = game.controlState();
    header.settings = fixedSettings ? *fixedSettings : Settings::instance().toLines();
    header.data = DataDigest::current();
    header.writeHeader(out);
    recording = true;
    ticks = 0;
    lastAxis.clear();
    check();
    if (!fixedSettings) pruneOldReplays();
}

void Recorder::inputDelivered(const InputEvent& event) {
    if (!recording) return;
    if (event.kind == InputEvent::Kind::Axis) {
        const auto [place, added] = lastAxis.emplace(std::make_pair(event.device, event.code), event.value);
        if (!added && place->second == event.value) return;
        place->second = event.value;
    }
    out << ReplayFile::eventLine(ticks, event);
}

void Recorder::tickEnded() {
    if (!recording) return;
    ++ticks;
    if (ticks % ReplayFile::DigestInterval == 0) {
        out << ticks << " digest " << StateDigest::of(Game::instance()).toText() << "\n";
        out.flush();
        check();
    }
    // A game left paused for days would otherwise grow a replay no reader accepts; it
    // ends here instead, whole and playable.
    if (ticks >= tickLimit) {
        std::cout << "The replay " << path << " ends after 48 hours of play; the rest of this game is not recorded.\n";
        writeEnd("exit");
    }
}

void Recorder::playEnded() { writeEnd("menu"); }

void Recorder::finish() { writeEnd("exit"); }

void Recorder::writeEnd(const char* how) {
    if (!recording) return;
    out << "end " << ticks << " " << how << " " << StateDigest::of(Game::instance()).toText() << "\n";
    out.close();
    check();
    recording = false;
    if (fixedSettings) path.clear();
}

void Recorder::check() {
    if (out.fail() && recording) {
        std::cout << "Cannot write the replay " << path << "; the rest of this game is not recorded.\n";
        recording = false;
    }
}
