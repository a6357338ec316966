// A soak of the real game: hours of random two-player play over the bundled data, in
// home mode and then in arcade mode against a real coin server, without a window.
// Watches for enemies walking on the spot, a game that stops getting anywhere and
// memory that keeps growing; sanitizer builds add their own reports. Exits non-zero on
// any finding.
//
//   soak [--seed N] [--ticks N] [--data DIR] [--coin-server PROGRAM]
#include <AL/alut.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "CoinServerProcess.h"
#include "Dice.h"
#include "Director.h"
#include "GameInput.h"
#include "MemoryWatch.h"
#include "PlayerBot.h"
#include "ProgressWatch.h"
#include "StuckFigureWatch.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "ui/Cutscene.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr int kTick = 20;
// Ticks the coin server stays away when it is stopped mid-run.
constexpr long kServerAway = 300;

struct Options {
    uint32_t seed = std::random_device{}();
    long ticks = 30000;
    std::string data = MB_DATA_DIR;
    std::string coinServer = MB_COIN_SERVER;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--seed") {
            options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (name == "--ticks") {
            options.ticks = std::strtol(value, nullptr, 10);
        } else if (name == "--data") {
            options.data = value;
        } else if (name == "--coin-server") {
            options.coinServer = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.ticks > 0;
}

// Where a sanitizer report came from: AddressSanitizer stops at its first report,
// UndefinedBehaviorSanitizer carries on and the soak fails at the end.
long currentTick = 0;
uint32_t currentSeed = 0;
int sanitizerReports = 0;

void sayWhere() {
    std::cout << "soak: sanitizer report at tick " << currentTick << " (seed " << currentSeed << ")" << std::endl;
}

double mebibytes(long bytes) { return bytes / (1024.0 * 1024.0); }

std::string figures(const MemoryWatch::Figures& f) {
    std::ostringstream text;
    text.precision(1);
    text << std::fixed << mebibytes(f.start) << "/" << mebibytes(f.warmUp) << "/" << mebibytes(f.peak) << "/"
         << mebibytes(f.end) << " MiB";
    return text.str();
}

// The world runs in a tick unless a cutscene, the attract loop or a menu holds it.
bool worldRuns(const Game& game) {
    return !Cutscene::instance().isPlaying() && !game.isAttract() && game.getMenu() == nullptr;
}

}  // namespace

// The sanitizer runtime calls this after each report it prints; without one it is never called.
extern "C" void __ubsan_on_report() {
    ++sanitizerReports;
    sayWhere();
}

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << "usage: soak [--seed N] [--ticks N] [--data DIR] [--coin-server PROGRAM]\n";
        return 2;
    }
    currentSeed = options.seed;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(sayWhere);
#endif
    // A coin server that has gone away must not take the soak with it.
    std::signal(SIGPIPE, SIG_IGN);
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (chdir(options.data.c_str()) != 0) {
        std::cerr << "soak: cannot change into " << options.data << "\n";
        return 2;
    }
    std::cout << "soak: seed " << options.seed << ", " << options.ticks << " ticks, data " << options.data << std::endl;

    CoinServerProcess coins(options.coinServer);
    alutInitWithoutContext(nullptr, nullptr);
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("arcade", 0);
    settings.setString("coin_host", "127.0.0.1");
    settings.setString("coin_port", std::to_string(coins.getPort()));
    // The game's own dice: repeatable too, and different for every seed.
    std::srand(options.seed);

    Game& game = Game::instance();
    game.showMainMenu();
    Dice dice(options.seed);
    GameInput input(game);
    Director director(game, input, coins, dice);
    PlayerBot bots[2] = {PlayerBot(0, input, dice), PlayerBot(1, input, dice)};
    StuckFigureWatch stuck;
    ProgressWatch progress;
    MemoryWatch memory(std::max<long>(MemoryWatch::SampleEvery, options.ticks / 5 / MemoryWatch::SampleEvery *
                                                                     MemoryWatch::SampleEvery));

    const long homeTicks = options.ticks / 2;
    long arcadeStart = 0;
    long serverStopped = 0;
    long playTicks = 0;
    for (long tick = 1; tick <= options.ticks; ++tick) {
        currentTick = tick;
        // A real run keeps its mode; the soak changes at the main menu, where an arcade
        // start would begin too.
        if (tick > homeTicks && arcadeStart == 0) {
            director.headForMainMenu(true);
            if (director.atMainMenu()) {
                director.headForMainMenu(false);
                settings.setInt("arcade", 1);
                game.showMainMenu();
                arcadeStart = tick;
                std::cout << "soak: arcade mode from tick " << tick << std::endl;
            }
        }
        if (arcadeStart != 0 && serverStopped == 0 && tick == arcadeStart + (options.ticks - arcadeStart) / 2) {
            coins.stop();
            serverStopped = tick;
            std::cout << "soak: coin server stopped at tick " << tick << std::endl;
        }
        if (serverStopped != 0 && tick == serverStopped + kServerAway) {
            coins.start();
            std::cout << "soak: coin server back at tick " << tick << std::endl;
        }

        const bool playersMayPlay = director.act(tick);
        for (PlayerBot& bot : bots) {
            bot.act(game, !playersMayPlay);
        }
        const bool worldRan = worldRuns(game);
        game.update(kTick);
        if (worldRan) {
            ++playTicks;
            stuck.observe(game, tick);
        }
        progress.observe(game, tick, worldRan);
        memory.observe(tick, tick == options.ticks);
        if (tick % 5000 == 0) {
            std::cout << "soak: tick " << tick << ", " << game.getLevelName() << " at scroll "
                      << game.getLevel().scroll() << ", RSS " << mebibytes(memory.resident().end) << " MiB" << std::endl;
        }
    }

    const Director::Tally& tally = director.tally();
    std::cout << "soak: games " << tally.gamesStarted << ", level changes " << progress.levelChanges() << ", pauses "
              << tally.pauses << ", restarts " << tally.restarts << ", exits to menu " << tally.exitsToMenu
              << ", credits " << tally.creditsShown << ", cutscenes skipped " << tally.cutscenesSkipped
              << " / watched " << tally.cutscenesWatched << ", coins " << coins.getCoinsInserted() << ", joins "
              << tally.joins << ", continues " << tally.continues << ", countdowns expired "
              << tally.countdownsExpired << ", drop-outs " << tally.dropOuts << std::endl;
    std::cout.precision(1);
    std::cout << std::fixed << "soak: SUMMARY seed " << options.seed << ", ticks " << options.ticks << " (home "
              << (arcadeStart != 0 ? arcadeStart - 1 : options.ticks) << ", in play " << playTicks
              << "), sanitizer reports " << sanitizerReports << ", stalls " << stuck.stalls()
              << ", progress stalls " << progress.stalls() << " (longest quiet "
              << progress.longestQuietMilliseconds() / 1000.0 << " s), RSS start/warm-up/peak/end "
              << figures(memory.resident());
    if (MemoryWatch::judgesHeap()) {
        std::cout << ", live heap " << figures(memory.judged());
    }
    std::cout << " (allowed growth " << mebibytes(memory.allowanceBytes()) << " MiB)" << std::endl;
    if (memory.grew()) {
        std::cout << "soak: MEMORY grew after warm-up beyond the allowance" << std::endl;
    }
    const bool clean = sanitizerReports == 0 && stuck.stalls() == 0 && progress.stalls() == 0 && !memory.grew();
    // The game is a singleton that outlives main; take it down while the coin server,
    // which it talks to, and the watches still exist.
    Game::resetInstance();
    return clean ? 0 : 1;
}
