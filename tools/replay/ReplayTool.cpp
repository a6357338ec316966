// Plays replays without a window or sound, as fast as the machine allows.
//
//   replay [--data DIR] FILE...               every digest checked; exit 0 when all match
//   replay [--data DIR] --digest-only FILE    prints the state digest at the end
//   replay [--data DIR] --record-from FILE OUT   re-records FILE against this build
//   replay [--data DIR] --record-script NAME OUT plays a scripted game and records it
//   replay [--data DIR] --exactness N FILE...  sets the game aside at N random ticks,
//                                             plays 1000 ticks, brings it back and plays
//                                             them again: both times, and an unbroken
//                                             playback, must end alike
//
// Without --data the data is the current folder's, else ./data's, else the installed
// data's; the tool says which it took.
//
// Each replay runs in a child process of its own: the game's modules read their
// settings once, so every replay needs a fresh process with its own settings in force.
#include <AL/alut.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "DataFolder.h"
#include "ScriptedPlayer.h"
#include "core/ConfigLocations.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/DataDigest.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/StateDigest.h"

namespace {

enum class Mode { Check, DigestOnly, RecordFrom, RecordScript, Exactness };

// Ticks played after each point of the exactness check, twice.
constexpr int kExactnessSpan = 1000;

int usage() {
    std::cerr << "usage: replay [--data DIR] FILE...\n"
                 "       replay [--data DIR] --digest-only FILE\n"
                 "       replay [--data DIR] --record-from FILE OUT\n"
                 "       replay [--data DIR] --record-script campaign1|campaign2|arcade|weapons OUT\n"
                 "       replay [--data DIR] --exactness POINTS FILE...\n";
    return 2;
}

// Sound stays off: the null OpenAL device, no music.
void startHeadless() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    alutInitWithoutContext(nullptr, nullptr);
    Settings::instance().setInt("music", 0);
}

// Reads a replay made for this data; false (and says why) when it cannot be played here.
bool readPlayable(const std::string& path, ReplayFile& replay) {
    std::string error;
    if (!ReplayReader::read(path, replay, error)) {
        std::cout << error << "\n";
        return false;
    }
    error = DataDigest::mismatch(replay.data);
    if (!error.empty()) {
        std::cout << path << ": " << error << "\n";
        return false;
    }
    return true;
}

// Plays one replay in this process; returns the exit status.
int playOne(const std::string& path, Mode mode, const std::string& out) {
    ReplayFile replay;
    if (!readPlayable(path, replay)) {
        return 1;
    }
    // The player puts the replay's settings in force, before the Game reads any.
    ReplayPlayer player(replay, path, false);
    startHeadless();
    std::unique_ptr<Recorder> recorder;
    if (mode == Mode::RecordFrom) {
        recorder = std::make_unique<Recorder>(out, replay.settings);
        InputSeam::instance().setListener(recorder.get());
    }
    Game& game = Game::instance();
    const auto begun = std::chrono::steady_clock::now();
    player.begin();
    while (!player.isFinished()) game.update(20);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();

    if (mode == Mode::DigestOnly) {
        std::cout << StateDigest::of(game).toText() << "\n";
        return 0;
    }
    if (mode == Mode::RecordFrom) {
        std::cout << path << ": re-recorded into " << out << " (" << player.ticksPlayed() << " ticks)\n";
        return 0;
    }
    std::cout << path << ": " << player.ticksPlayed() << " ticks in " << seconds << " s ("
              << static_cast<long>(player.ticksPlayed() / (seconds > 0 ? seconds : 1e-9)) << " ticks/s), ";
    if (player.differenceTick() < 0) {
        std::cout << "matches (" << player.digestsCompared() << " digests)\n";
        return 0;
    }
    std::cout << "differs at tick " << player.differenceTick() << ": " << player.difference() << "\n";
    return 1;
}

// Plays on until `tick` ticks have been played or the replay is over.
void playTo(ReplayPlayer& player, int tick) {
    Game& game = Game::instance();
    while (!player.isFinished() && player.ticksPlayed() < tick) game.update(20);
}

// The exactness check of one replay in this process; returns the exit status. The
// points are the same on every run (a fixed seed), so a failure can be looked into.
int checkExactness(const std::string& path, int points) {
    ReplayFile replay;
    if (!readPlayable(path, replay)) {
        return 1;
    }
    // Every stretch ends before the recorded end, so playback is never over in between.
    const int span = std::min(kExactnessSpan, (replay.endTick - 1) / 2);
    if (span < 1) {
        std::cout << path << ": too short to set aside and bring back\n";
        return 1;
    }
    std::mt19937 dice(1);
    std::uniform_int_distribution<int> anyTick(0, replay.endTick - 1 - span);
    std::vector<int> ticks(static_cast<std::size_t>(points));
    for (int& tick : ticks) tick = anyTick(dice);
    std::sort(ticks.begin(), ticks.end());

    const auto begun = std::chrono::steady_clock::now();
    std::vector<StateDigest> unbroken;
    {
        ReplayPlayer player(replay, path, false);
        startHeadless();
        player.begin();
        for (const int tick : ticks) {
            playTo(player, tick + span);
            unbroken.push_back(StateDigest::of(Game::instance()));
        }
        // Ends the game, so that the next one starts as this one did.
        player.stop();
    }
    Game::resetInstance();
    ReplayPlayer player(replay, path, false);
    player.begin();
    int failures = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        playTo(player, ticks[i]);
        const ReplayPlayer::Bookmark aside = player.mark();
        playTo(player, ticks[i] + span);
        const StateDigest first = StateDigest::of(Game::instance());
        player.returnTo(aside);
        playTo(player, ticks[i] + span);
        const StateDigest second = StateDigest::of(Game::instance());
        player.returnTo(aside);
        const std::string again = second.firstDifference(first);
        const std::string apart = first.firstDifference(unbroken[i]);
        if (!again.empty() || !apart.empty()) {
            ++failures;
            std::cout << path << ": set aside at tick " << ticks[i] << ", after " << span << " more ticks "
                      << (!again.empty() ? "the second playing differs from the first in " + again
                                         : "both differ from an unbroken playback in " + apart)
                      << "\n";
        }
    }
    if (player.differenceTick() >= 0) {
        ++failures;
        std::cout << path << ": differs from its recording at tick " << player.differenceTick() << ": "
                  << player.difference() << "\n";
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    if (failures == 0) {
        std::cout << path << ": set aside and brought back at " << points << " ticks, " << span
                  << " ticks played twice from each: identical to each other and to an unbroken playback ("
                  << seconds << " s)\n";
    }
    return failures == 0 ? 0 : 1;
}

// Runs `work` in a child process and returns its exit status.
template <typename Work>
int inChild(Work work) {
    std::cout.flush();
    const pid_t child = fork();
    if (child == 0) {
        const int status = work();
        std::cout.flush();
        _exit(status);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) < 0) return 1;
    if (WIFSIGNALED(status)) {
        std::cout << "the replay player died of signal " << WTERMSIG(status) << "\n";
        return 1;
    }
    return WEXITSTATUS(status);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string data;
    Mode mode = Mode::Check;
    int points = 0;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            data = args[++i];
        } else if (args[i] == "--digest-only") {
            mode = Mode::DigestOnly;
        } else if (args[i] == "--record-from") {
            mode = Mode::RecordFrom;
        } else if (args[i] == "--record-script") {
            mode = Mode::RecordScript;
        } else if (args[i] == "--exactness" && i + 1 < args.size()) {
            mode = Mode::Exactness;
            points = std::atoi(args[++i].c_str());
            if (points < 1) return usage();
        } else if (args[i].rfind("--", 0) == 0) {
            return usage();
        } else {
            files.push_back(args[i]);
        }
    }
    const bool twoNames = mode == Mode::RecordFrom || mode == Mode::RecordScript;
    if (files.empty() || (twoNames && files.size() != 2) || (mode == Mode::DigestOnly && files.size() != 1)) {
        return usage();
    }
    // Names on the command line are relative to where the tool was started.
    for (std::size_t i = mode == Mode::RecordScript ? 1 : 0; i < files.size(); ++i) {
        files[i] = std::filesystem::absolute(files[i]).string();
    }
    if (data.empty()) {
        std::error_code error;
        const std::string executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
        data = DataFolder::find(executable);
        if (data.empty()) {
            std::cerr << "replay: no game data in this folder, in ./data or in "
                      << ConfigLocations::installedFolder(executable) << "; name it with --data DIR\n";
            return 2;
        }
        const std::filesystem::path used = std::filesystem::canonical(data, error);
        std::cout << "replay: using the data in " << (error ? data : used.string()) << "\n";
    }
    if (chdir(data.c_str()) != 0) {
        std::cerr << "replay: cannot enter the data directory " << data << "\n";
        return 2;
    }
    if (mode == Mode::RecordScript) {
        return inChild([&] {
            Settings::instance().load("config.dat");
            startHeadless();
            return ScriptedPlayer::record(files[0], files[1]);
        });
    }
    if (twoNames) return inChild([&] { return playOne(files[0], mode, files[1]); });
    int failures = 0;
    for (const std::string& file : files) {
        const auto work = [&] { return mode == Mode::Exactness ? checkExactness(file, points) : playOne(file, mode, ""); };
        if (inChild(work) != 0) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
