#include "Soak.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "ui/Cutscene.h"

namespace {

constexpr int kTick = 20;
// Ticks the coin server stays away when it is stopped mid-run.
constexpr long kServerAway = 300;

long currentTick = 0;

Game& gameWithCoinServer(int port) {
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("arcade", 0);
    settings.setString("coin_host", "127.0.0.1");
    settings.setString("coin_port", std::to_string(port));
    return Game::instance();
}

// Warm-up ends after a fifth of the run, on a sampling tick.
long warmUpTick(long ticks) {
    const long fifth = ticks / 5 / MemoryWatch::SampleEvery * MemoryWatch::SampleEvery;
    return std::max<long>(MemoryWatch::SampleEvery, fifth);
}

// The world runs in a tick unless a cutscene, the attract loop or a menu holds it.
bool worldRuns(const Game& game) {
    return !Cutscene::instance().isPlaying() && !game.isAttract() && game.getMenu() == nullptr;
}

double mebibytes(long bytes) { return bytes / (1024.0 * 1024.0); }

std::string figures(const MemoryWatch::Figures& f) {
    std::ostringstream text;
    text.precision(1);
    text << std::fixed << mebibytes(f.start) << "/" << mebibytes(f.warmUp) << "/" << mebibytes(f.peak) << "/"
         << mebibytes(f.end) << " MiB";
    return text.str();
}

}  // namespace

Soak::Soak(const Options& options)
    : options(options),
      coins(options.coinServer),
      game(gameWithCoinServer(coins.getPort())),
      dice(options.seed),
      input(game),
      director(game, input, coins, dice),
      bots{PlayerBot(0, input, dice), PlayerBot(1, input, dice)},
      memory(warmUpTick(options.ticks)) {
    // The game's own dice: repeatable too, and different for every seed.
    seedRandom(options.seed);
    game.showMainMenu();
}

Soak::~Soak() { Game::resetInstance(); }

long Soak::tickInProgress() { return currentTick; }

void Soak::followSchedule(long tick) {
    // A real run keeps its mode; the soak changes at the main menu, where an arcade
    // start would begin too.
    if (tick > options.ticks / 2 && arcadeStart == 0) {
        director.headForMainMenu(true);
        if (director.atMainMenu()) {
            director.headForMainMenu(false);
            Settings::instance().setInt("arcade", 1);
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
}

void Soak::run() {
    for (long tick = 1; tick <= options.ticks; ++tick) {
        currentTick = tick;
        followSchedule(tick);
        const bool playersMayPlay = director.act();
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
                      << game.getLevel().scroll() << ", RSS " << mebibytes(memory.resident().end) << " MiB"
                      << std::endl;
        }
    }
}

bool Soak::report(int sanitizerReports) const {
    const Director::Tally& tally = director.tally();
    std::cout << "soak: games chosen " << tally.gamesStarted << ", level changes " << progress.levelChanges()
              << ", pauses " << tally.pauses << ", restarts " << tally.restarts << ", exits to menu "
              << tally.exitsToMenu << ", credits " << tally.creditsShown << ", cutscenes skipped "
              << tally.cutscenesSkipped << " / watched " << tally.cutscenesWatched << ", coins "
              << coins.getCoinsInserted() << ", joins " << tally.joins << ", continues " << tally.continues
              << ", countdowns expired " << tally.countdownsExpired << ", drop-outs " << tally.dropOuts << std::endl;
    std::ostringstream summary;
    summary.precision(1);
    summary << std::fixed << "soak: SUMMARY seed " << options.seed << ", ticks " << options.ticks << " (home "
            << (arcadeStart != 0 ? arcadeStart - 1 : options.ticks) << ", in play " << playTicks
            << "), sanitizer reports " << sanitizerReports << ", stalls " << stuck.stalls() << ", progress stalls "
            << progress.stalls() << " (longest quiet " << progress.longestQuietMilliseconds() / 1000.0
            << " s), RSS start/warm-up/peak/end " << figures(memory.resident());
    if (MemoryWatch::judgesHeap()) {
        summary << ", live heap " << figures(memory.judged());
    }
    summary << " (allowed growth " << mebibytes(memory.allowanceBytes()) << " MiB)";
    std::cout << summary.str() << std::endl;
    if (memory.grew()) {
        std::cout << "soak: MEMORY grew after warm-up beyond the allowance" << std::endl;
    }
    return sanitizerReports == 0 && stuck.stalls() == 0 && progress.stalls() == 0 && !memory.grew();
}
