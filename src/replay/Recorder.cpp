#include "replay/Recorder.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <utility>

#include "arcade/CoinClient.h"
#include "core/Game.h"
#include "core/GameVersion.h"
#include "core/Settings.h"
#include "replay/DataDigest.h"
#include "replay/ReplayFile.h"
#include "replay/ReplaySettings.h"
#include "replay/StateDigest.h"

namespace fs = std::filesystem;

namespace {

// The names the recorder gives: "YYYYMMDD-HHMMSS.replay", or "YYYYMMDD-HHMMSS-N.replay"
// (N from 2) for a later game begun in the same second.
struct RecordedName {
    std::string stamp;
    long number = 1;
    bool operator<(const RecordedName& other) const {
        return stamp != other.stamp ? stamp < other.stamp : number < other.number;
    }
};

bool digits(const std::string& text, std::size_t from, std::size_t count) {
    if (from + count > text.size() || count == 0) return false;
    return std::all_of(text.begin() + from, text.begin() + from + count, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<RecordedName> recordedName(const std::string& name) {
    const std::string extension = ".replay";
    constexpr std::size_t kStampLength = 15;
    if (name.size() < kStampLength + extension.size() || !digits(name, 0, 8) || name[8] != '-' ||
        !digits(name, 9, 6) || name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        return std::nullopt;
    }
    RecordedName recorded{name.substr(0, kStampLength)};
    const std::size_t rest = name.size() - extension.size() - kStampLength;
    if (rest == 0) return recorded;
    // "-N": no leading zero, at most nine digits.
    if (name[kStampLength] != '-' || rest < 2 || rest > 10 || name[kStampLength + 1] == '0' ||
        !digits(name, kStampLength + 1, rest - 1)) {
        return std::nullopt;
    }
    recorded.number = std::stol(name.substr(kStampLength + 1, rest - 1));
    if (recorded.number < 2) return std::nullopt;
    return recorded;
}

}  // namespace

Recorder::Recorder(std::string folder, int newest)
    : wantedDirectory(folder), directory(expandHome(folder)), keep(newest) {}

Recorder::Recorder(std::string file, std::vector<std::string> settings, int tickLimit_)
    : fixedSettings(std::move(settings)), path(std::move(file)), tickLimit(tickLimit_) {}

Recorder::~Recorder() = default;

std::string Recorder::expandHome(const std::string& folder) {
    if (folder.rfind("~/", 0) != 0) return folder;
    // Without a home of its own a "~/" folder would land in the data folder or under "/".
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/' || std::string(home).find_first_not_of('/') == std::string::npos) return "";
    return std::string(home) + folder.substr(1);
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
    // Only files with the names this recorder gives are its own; anything else in the
    // folder belongs to the player.
    std::error_code error;
    std::vector<std::pair<RecordedName, fs::path>> replays;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        const std::optional<RecordedName> name = recordedName(entry.path().filename().string());
        if (name && entry.is_regular_file(error) && entry.path() != fs::path(path)) {
            replays.emplace_back(*name, entry.path());
        }
    }
    // The game just begun is the newest and is kept besides.
    const std::size_t older = keep > 0 ? static_cast<std::size_t>(keep - 1) : 0;
    if (replays.size() <= older) return;
    std::sort(replays.begin(), replays.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i + older < replays.size(); ++i) fs::remove(replays[i].second, error);
}

void Recorder::playStarted(const InputSeam::PlayStart& start) {
    if (!fixedSettings) {
        if (directory.empty()) {
            if (!homeless) {
                std::cout << "Cannot record replays into " << wantedDirectory
                          << ": HOME names no home folder; games are not recorded.\n";
            }
            homeless = true;
            return;
        }
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
    header.settings = fixedSettings ? *fixedSettings : ReplaySettings::recordedLines();
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

void Recorder::tickEnded() { endTick(nullptr); }

void Recorder::pastTickEnded(const std::string& digestText) { endTick(&digestText); }

void Recorder::endTick(const std::string* digestText) {
    if (!recording) return;
    ++ticks;
    if (ticks % ReplayFile::DigestInterval == 0) {
        out << ticks << " digest " << (digestText != nullptr ? *digestText : StateDigest::of(Game::instance()).toText())
            << "\n";
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
