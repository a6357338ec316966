// One side of an online game without a window or sound, for tests and measurements.
//
//   online-peer (--host | --join HOST) [--port N] [--delay D] [--rollback R]
//               [--level FILE] [--data DIR] [--ticks N] [--seed S] [--idle | --fight]
//               [--fast] [--record DIR] [--nudge TICK] [--press TICK] [--game-seed N]
//
// Plays this side's player with seeded random keys (none with --idle; the scripted
// fighter of the regression replays with --fight) at 20 ms per tick (as fast as lockstep allows with --fast). With --ticks N it presses Escape
// after N ticks and leaves through the pause menu; otherwise it plays until the
// session ends. It then prints the ticks, the final state digest, the mean tick
// period, the bytes per second each way and why the game ended; the exit status is 0
// only when the game went back to the menu in step on both sides. --nudge moves this
// side's first player a little at that tick, behind the lockstep's back, to show that
// the two sides notice when they go out of step (with rollback, on every tick from
// then on: a rollback to before it would otherwise take a single nudge back). --rollback
// plays with rollback of that depth instead of in lockstep, and the figures then
// include the rollbacks, the longest, the processor time spent running ticks again and
// how often a tick waited for the other side. --press presses attack at that tick, so
// the other side's guess of this one's input is wrong there; the other side then names
// the tick its first rollback went back to. --game-seed fixes a host's game seed, so
// that two runs can be compared.
#include <AL/alut.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PeerHands.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/OnlineSession.h"
#include "replay/Recorder.h"
#include "replay/StateDigest.h"
#include "ui/Menu.h"
#include "ui/PauseMenu.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(20);
constexpr auto kPoll = std::chrono::milliseconds(1);
// How long a host waits for its player, and a joiner for its host.
constexpr auto kMeetingTime = std::chrono::seconds(60);

struct PeerOptions {
    OnlineSession::Options session;
    bool hosting = false;
    std::string data = ".";
    int ticks = 0;  // 0: until the session ends
    int nudge = -1;
    int press = -1;
    unsigned seed = 1;
    PeerHands::Style hands = PeerHands::Style::Random;
    bool fast = false;
    std::string recordDirectory;
};

int usage() {
    std::cerr << "usage: online-peer (--host | --join HOST) [--port N] [--delay D] [--rollback R] [--level FILE]\n"
                 "                   [--data DIR] [--ticks N] [--seed S] [--idle | --fight] [--fast]\n"
                 "                   [--record DIR] [--nudge TICK] [--press TICK] [--game-seed N]\n";
    return 2;
}

bool parse(const std::vector<std::string>& args, PeerOptions& options) {
    bool roleGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--host") {
            options.hosting = roleGiven = true;
        } else if (arg == "--join" && hasValue) {
            options.session.host = args[++i];
            roleGiven = true;
        } else if (arg == "--port" && hasValue) {
            options.session.port = std::atoi(args[++i].c_str());
        } else if (arg == "--delay" && hasValue) {
            options.session.delay = std::atoi(args[++i].c_str());
        } else if (arg == "--rollback" && hasValue) {
            options.session.rollback = std::atoi(args[++i].c_str());
        } else if (arg == "--level" && hasValue) {
            options.session.levelFile = args[++i];
        } else if (arg == "--data" && hasValue) {
            options.data = args[++i];
        } else if (arg == "--ticks" && hasValue) {
            options.ticks = std::atoi(args[++i].c_str());
        } else if (arg == "--game-seed" && hasValue) {
            options.session.seed = static_cast<unsigned>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else if (arg == "--press" && hasValue) {
            options.press = std::atoi(args[++i].c_str());
        } else if (arg == "--nudge" && hasValue) {
            options.nudge = std::atoi(args[++i].c_str());
        } else if (arg == "--seed" && hasValue) {
            options.seed = static_cast<unsigned>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else if (arg == "--record" && hasValue) {
            options.recordDirectory = args[++i];
        } else if (arg == "--idle") {
            options.hands = PeerHands::Style::Idle;
        } else if (arg == "--fight") {
            options.hands = PeerHands::Style::Fighter;
        } else if (arg == "--fast") {
            options.fast = true;
        } else {
            return false;
        }
    }
    return roleGiven && options.hosting == options.session.host.empty();
}

std::string digestHash(const Game& game) {
    uint32_t hash = 2166136261u;
    for (const char c : StateDigest::of(game).toText()) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

// Waits for the other side and the handshake; false when the game never starts.
bool meet(OnlineSession& session) {
    const Clock::time_point giveUp = Clock::now() + kMeetingTime;
    while (session.phase() == OnlineSession::Phase::Connecting) {
        if (Clock::now() > giveUp) {
            session.giveUp();
            std::cout << "online-peer: nobody came\n";
            return false;
        }
        std::this_thread::sleep_for(kPoll);
        session.service();
    }
    if (session.phase() == OnlineSession::Phase::Ended) {
        std::cout << "online-peer: ended before play: " << session.endReason() << "\n";
        return false;
    }
    return true;
}

int run(const PeerOptions& options) {
    PeerHands hands(options.hands, options.hosting ? 0 : 1, options.seed, options.hosting);
    OnlineSession session(options.session);
    if (!meet(session)) return 1;
    hands.setInputDelay(session.inputDelay());
    hands.pressAttackAt(options.press);

    // Built only now, so every module reads the settings the two sides agreed on.
    Game& game = Game::instance();
    InputSeam& seam = InputSeam::instance();
    std::unique_ptr<Recorder> recorder;
    if (!options.recordDirectory.empty()) {
        recorder = std::make_unique<Recorder>(options.recordDirectory, 100);
        seam.setListener(recorder.get());
    }
    seam.setReplacement(&session);
    game.closeMenu();
    game.clearBackground();
    game.startGame(true, true, session.levelFile());

    int ticks = 0;
    int actedTick = -1;
    bool paused = false;
    const Clock::time_point begun = Clock::now();
    Clock::time_point due = begun;
    Clock::time_point firstTick;
    Clock::time_point lastTick;
    Clock::duration lateness{};
    while (session.phase() != OnlineSession::Phase::Ended) {
        session.service();
        // The hands act once per tick of the game, which with rollback is the session's
        // count (a rollback that stops short at a menu counts back).
        const int gameTick = session.rollbackDepth() > 0 ? session.ticksRun() : ticks;
        if (actedTick != gameTick) {
            if (options.ticks > 0 && gameTick == options.ticks) hands.quit();
            hands.act(game, gameTick);
            actedTick = gameTick;
        }
        const Clock::time_point now = Clock::now();
        if ((!options.fast && now < due) || !session.tickReady()) {
            std::this_thread::sleep_for(kPoll);
            continue;
        }
        // A late tick may catch up one period, never more; how late each was is
        // reported, so the figure does not hide a stall behind the catching up.
        if (!options.fast) lateness += now - due;
        due = std::max(due, now - kTick) + kTick;
        (ticks == 0 ? firstTick : lastTick) = now;
        game.update(20);
        ++ticks;
        const bool nudged = session.rollbackDepth() > 0 ? options.nudge >= 0 && ticks >= options.nudge
                                                        : ticks == options.nudge;
        if (nudged && game.getPlayer1() != nullptr) game.getPlayer1()->position.x += 0.5;
        const Menu* pause = dynamic_cast<const PauseMenu*>(game.getMenu());
        const bool pauseShown = pause != nullptr;
        if (pauseShown && !paused) {
            // With rollback a side may first see the pause some ticks after it opened (a
            // rollback brought it in); the tick it opened on is the one both share.
            const int openedAt = session.rollbackDepth() > 0
                                     ? session.ticksRun() - static_cast<int>(pause->elapsedMilliseconds() / 20) + 1
                                     : ticks;
            std::cout << "online-peer: paused at tick " << openedAt << "\n";
        }
        paused = pauseShown;
    }
    // An ended session leaves a game in play behind: back to the menu, which also
    // closes the replay.
    if (seam.isPlaying()) game.showMainMenu();
    seam.setReplacement(nullptr);
    seam.setListener(nullptr);

    const double seconds = std::chrono::duration<double>(Clock::now() - begun).count();
    const double period =
        ticks > 1 ? std::chrono::duration<double, std::milli>(lastTick - firstTick).count() / (ticks - 1) : 0.0;
    std::cout << "online-peer: ticks " << ticks << "\n"
              << "online-peer: digest " << digestHash(game) << "\n"
              << "online-peer: mean tick period " << period << " ms, started late by "
              << (ticks > 0 ? std::chrono::duration<double, std::milli>(lateness).count() / ticks : 0.0)
              << " ms on average\n"
              << "online-peer: bytes per second sent " << static_cast<long>(session.bytesSent() / seconds)
              << " received " << static_cast<long>(session.bytesReceived() / seconds) << "\n"
              << "online-peer: level " << game.getLevelName() << "\n";
    if (session.rollbackDepth() > 0) {
        const OnlineSession::RollbackFigures& figures = session.rollbackFigures();
        std::cout << "online-peer: rollbacks " << figures.rollbacks << " (" << figures.rollbacks / seconds
                  << " per second), longest " << figures.longest << " ticks, " << figures.ticksRunAgain
                  << " ticks run again in " << figures.secondsRunningAgain * 1000.0 / seconds
                  << " ms of processor time per second\n"
                  << "online-peer: waits " << figures.waits << ", pace holds " << figures.paceHolds << "\n"
                  << "online-peer: first rollback from tick " << figures.firstFrom << "\n";
    }
    if (recorder) std::cout << "online-peer: replay " << recorder->currentPath() << "\n";
    const std::string& reason = session.endReason();
    std::cout << "online-peer: ended: " << (reason.empty() ? "back at the menu" : reason) << "\n";
    return reason.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    PeerOptions options;
    if (!parse(std::vector<std::string>(argv + 1, argv + argc), options)) return usage();
    if (chdir(options.data.c_str()) != 0) {
        std::cerr << "online-peer: cannot enter the data directory " << options.data << "\n";
        return 2;
    }
    Settings::instance().load("config.dat");
    // Sound stays off: the null OpenAL device, no music.
    setenv("ALSOFT_DRIVERS", "null", 1);
    alutInitWithoutContext(nullptr, nullptr);
    Settings::instance().setInt("music", 0);
    const int status = run(options);
    std::cout.flush();
    // The Game singleton lives on past main; its teardown has nothing left to do here.
    _exit(status);
}
