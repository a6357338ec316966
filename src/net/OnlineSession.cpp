#include "net/OnlineSession.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "audio/SoundManager.h"
#include "core/Game.h"
#include "core/GameVersion.h"
#include "net/EnetLink.h"
#include "net/NetMessage.h"
#include "net/OnlineControls.h"
#include "net/OnlineSettings.h"
#include "net/PeerText.h"
#include "replay/DataDigest.h"
#include "replay/StateDigest.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSilenceLimit = std::chrono::seconds(5);
// Whoever connects must shake hands this soon: the host has one place to give.
constexpr auto kHandshakeLimit = std::chrono::seconds(5);
// Input held back while the game waits for the network; a stick read over and over
// adds nothing here (see live()), so only a person's keys could fill it.
constexpr std::size_t kMostPending = 255;
// ENet only notices a vanished peer while it has something to send, so a side with
// nothing to say still speaks twice a second.
constexpr auto kKeepAlive = std::chrono::milliseconds(500);

// Rollback: how often a side with input to send or acknowledge says so while no tick
// runs (a tick that runs says so anyway), and for how long a side that runs ahead of
// the other holds one tick back.
constexpr auto kInputsEvery = std::chrono::milliseconds(20);
constexpr auto kPaceHold = std::chrono::milliseconds(20);
// A side holds back one tick at most this often, so the correction never shows as a
// stutter; it runs ahead when its lead exceeds the other's by this many ticks.
constexpr int kTicksBetweenHolds = 10;
constexpr int kLeadWorthHolding = 2;
// Ticks of the other side's the receiver accepts behind its own: the other side sends
// from the first tick we have not acknowledged, which loss can hold back a while.
constexpr int kRollbackHistory = 1000;

const char* const kPeerLeft = "The other player left the game.";
const char* const kPeerSilent = "The other player has not been heard from for 5 seconds.";
const char* const kNoStart = "The other machine did not start a game within 5 seconds.";

int milliseconds(Clock::duration duration) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
}

// Why the host's and the joiner's data or game differ, in the words each of them reads.
struct Refusal {
    std::string forHost;
    std::string forJoiner;
};

std::string modeWords(int rollback) {
    return rollback > 0 ? "with rollback (onlineRollback " + std::to_string(rollback) + ")"
                        : "in lockstep (onlineRollback 0)";
}

std::optional<Refusal> differences(const NetMessage& hello, int ownRollback) {
    const bool knownProtocol = hello.protocol == NetMessage::Protocol || hello.protocol == NetMessage::RollbackProtocol;
    if (knownProtocol && hello.gameVersion == kGameVersion && (hello.rollback > 0) != (ownRollback > 0)) {
        return Refusal{"The other player plays " + modeWords(hello.rollback) + "; we play " +
                           modeWords(ownRollback) + ".",
                       "The other player plays " + modeWords(ownRollback) + "; we play " +
                           modeWords(hello.rollback) + "."};
    }
    if (!knownProtocol || hello.gameVersion != kGameVersion) {
        const std::string theirs = !knownProtocol ? "another network protocol"
                                                                         : "version " + hello.gameVersion;
        return Refusal{"The other player runs " + theirs + " of the game; we run version " + kGameVersion + ".",
                       "The other player runs version " + std::string(kGameVersion) + " of the game; we run " +
                           theirs + "."};
    }
    std::map<std::string, std::string> theirs;
    for (const ReplayFile::DataFile& file : hello.data) theirs[file.name] = file.digest;
    for (const ReplayFile::DataFile& file : DataDigest::current()) {
        const auto found = theirs.find(file.name);
        if (found == theirs.end()) {
            return Refusal{"The other player has no " + file.name + ".",
                           "The other player has " + file.name + ", which we do not."};
        }
        if (found->second != file.digest) {
            const std::string line = "The other player's " + file.name + " differs from ours.";
            return Refusal{line, line};
        }
        theirs.erase(found);
    }
    if (!theirs.empty()) {
        const std::string& name = theirs.begin()->first;
        return Refusal{"The other player has " + name + ", which we do not.", "The other player has no " + name + "."};
    }
    return std::nullopt;
}

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool parseDigest(const std::string& text, StateDigest& digest) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return !words.empty() && StateDigest::parse(words, digest);
}

}  // namespace

class OnlineSession::Impl {
public:
    explicit Impl(const Options& options)
        : options(options),
          slot(options.host.empty() ? 0 : 1),
          controls(slot),
          link(options.host, options.port, options.rollback > 0 ? 2 : 1),
          lastHeard(Clock::now()),
          lastSent(Clock::now()) {
        if (!link.problem().empty()) end(link.problem());
    }

    ~Impl() {
        if (phase != Phase::Ended) tellEnd(NetMessage::EndKind::Left, -1, "");
    }

    void service() {
        for (EnetLink::Event& event : link.poll()) {
            if (phase == Phase::Ended) continue;
            lastHeard = Clock::now();
            switch (event.kind) {
                case EnetLink::Event::Kind::Connected:
                    connectedAt = lastHeard;
                    if (slot == 1) greet();
                    break;
                case EnetLink::Event::Kind::Received: receive(event.bytes); break;
                case EnetLink::Event::Kind::Disconnected:
                    // A host goes on waiting for someone who left before shaking hands.
                    // A peer gone after its goodbye has sent all the input still needed.
                    if (!(slot == 0 && phase == Phase::Connecting) && !peerInputComplete()) end(kPeerLeft);
                    break;
            }
        }
        if (phase == Phase::Ended || !link.isConnected()) return;
        const Clock::time_point now = Clock::now();
        if (phase == Phase::Connecting && now - connectedAt >= kHandshakeLimit) {
            // A host lets go of a connection that never said who it is and waits on; a
            // joiner has met no game it can play.
            if (slot == 0) {
                link.dropPeer();
            } else {
                end(kNoStart);
            }
        } else if (now - lastHeard >= kSilenceLimit) {
            // Whatever the peer announced: a game with all the peer's input in hand plays
            // it out in far less time, so silence this long means a game held up.
            end(kPeerSilent);
        } else if (rollback > 0 && phase == Phase::Playing) {
            // Acknowledgements and lost input go out while no tick runs too.
            if (now - lastInputsSent >= kInputsEvery) sendInputs();
        } else if (now - lastSent >= kKeepAlive) {
            send(NetMessage{});
        }
    }

    bool tickReady() {
        if (phase != Phase::Playing) return true;
        if (rollback > 0) return rollbackTickReady();
        if (peerEndTick >= 0 && tick > peerEndTick) {
            // The peer went back to the menu here and this game did not: it is gone.
            end(kPeerLeft);
            return true;
        }
        if (sentThrough < tick + delay) sendOwnInput();
        const bool ready = inputs[0].count(tick) != 0 && inputs[1].count(tick) != 0;
        if (ready) {
            stalledSince.reset();
        } else if (!stalledSince) {
            stalledSince = Clock::now();
        }
        return ready;
    }

    void tickStarting() {
        if (rollback > 0) return rollbackTickStarting();
        // tickReady() may end the game (the peer left here): then there is nothing to deliver.
        if (!tickReady() || phase != Phase::Playing) return;
        // Host's input first, then the joiner's, on both machines alike.
        for (auto& slotInputs : inputs) {
            const auto due = slotInputs.find(tick);
            const std::vector<InputEvent> events = std::move(due->second);
            slotInputs.erase(due);
            for (const InputEvent& event : events) {
                // Once an input has ended the game (back to the main menu), the rest
                // belongs to no game: it would work this machine's main menu, or quit it.
                if (phase != Phase::Playing) return;
                InputSeam::instance().deliver(event);
            }
        }
    }

    void tickEnded() {
        if (phase != Phase::Playing) return;
        if (rollback > 0) return rollbackTickEnded();
        ++tick;
        if (tick % ReplayFile::DigestInterval != 0) return;
        StateDigest digest = StateDigest::of(Game::instance());
        NetMessage message;
        message.type = NetMessage::Type::Digest;
        message.tick = tick;
        message.text = digest.toText();
        send(message);
        ownDigests[tick] = std::move(digest);
        compareDigests();
    }

    void playStarted(const InputSeam::PlayStart& start) {
        if (phase != Phase::Starting) return;
        phase = Phase::Playing;
        if (rollback == 0) return;
        // The replay hears of each tick once it is certain, from the session, never of
        // a guessed one from the seam.
        InputSeam& seam = InputSeam::instance();
        recorder = seam.getListener();
        if (recorder != nullptr) {
            seam.setListener(nullptr);
            recorder->playStarted(start);
        }
    }

    void playEnded() {
        // The game is on its way to the menu: the menu is this player's own.
        settings.restore();
        if (rollback > 0) finishRollbackPlay();
        if (phase != Phase::Playing) return;
        tellEnd(NetMessage::EndKind::Left, tick, "");
        end("");
    }

    void giveUp() {
        if (phase == Phase::Ended) return;
        tellEnd(NetMessage::EndKind::Left, -1, "");
        end("");
    }

    void live(const std::optional<InputEvent>& event) {
        if (!event) return;
        if (phase == Phase::Ended) {
            // The game is on its way back to the menu; the player is not held up.
            InputSeam::instance().deliver(*event);
            return;
        }
        if (phase != Phase::Playing) return;
        if (event->kind == InputEvent::Kind::Key && event->code == 27 && event->down &&
            stalledMilliseconds() >= OnlineSession::StallNoticeMilliseconds) {
            // The player sees the game held for the network; Escape would pause only
            // once the network answers, so it gives up now instead.
            return giveUp();
        }
        if (event->kind == InputEvent::Kind::Axis) {
            // Sticks report every tick; only a change is worth sending.
            const auto last = lastAxis.find(event->code);
            if (last != lastAxis.end() && last->second == event->value) return;
            lastAxis[event->code] = event->value;
            // Held back since the last key, only the stick's latest position matters.
            for (auto waiting = pending.rbegin();
                 waiting != pending.rend() && waiting->kind == InputEvent::Kind::Axis; ++waiting) {
                if (waiting->code == event->code) {
                    waiting->value = event->value;
                    return;
                }
            }
        }
        if (pending.size() < kMostPending) pending.push_back(*event);
    }

    int stalledMilliseconds() const { return stalledSince ? milliseconds(Clock::now() - *stalledSince) : 0; }

    const Options options;
    const int slot;
    const OnlineControls controls;
    // Declared before the link, so the link says goodbye before the settings go back.
    OnlineSettings settings;
    EnetLink link;
    Phase phase = Phase::Connecting;
    std::string reason;
    std::string levelFile;
    unsigned seed = 0;
    int delay = 0;
    int rollback = 0;
    OnlineSession::RollbackFigures figures;
    std::deque<Clock::time_point> recentRollbacks;

    int ticksRun() const { return tick; }

    int rollbacksLastSecond() const {
        const Clock::time_point since = Clock::now() - std::chrono::seconds(1);
        return static_cast<int>(std::count_if(recentRollbacks.begin(), recentRollbacks.end(),
                                              [since](Clock::time_point at) { return at >= since; }));
    }

private:
    void greet() {
        NetMessage hello;
        hello.type = NetMessage::Type::Hello;
        if (options.rollback > 0) {
            hello.protocol = NetMessage::RollbackProtocol;
            hello.rollback = std::clamp(options.rollback, 1, NetMessage::MostRollback);
        }
        hello.gameVersion = kGameVersion;
        hello.data = DataDigest::current();
        send(hello);
    }

    void receive(const std::vector<uint8_t>& bytes) {
        const int slack = 2 * delay + 4;
        // With rollback the other side runs up to the depth ahead of our input, and its
        // acknowledged input and certain digests trail behind.
        const NetMessage::TickWindow window =
            rollback == 0 ? NetMessage::TickWindow{std::max(0, tick - slack), tick + slack}
                          : NetMessage::TickWindow{std::max(0, tick - kRollbackHistory), tick + slack + rollback + 4};
        NetMessage message;
        std::string error;
        if (!NetMessage::decode(bytes.data(), bytes.size(), window, message, error)) return malformed(error);
        switch (message.type) {
            case NetMessage::Type::Hello: return hello(message);
            case NetMessage::Type::Start: return start(message);
            case NetMessage::Type::Input: return input(message);
            case NetMessage::Type::Digest: return digest(message);
            case NetMessage::Type::End: return peerEnded(message);
            case NetMessage::Type::Inputs: return inputRun(message);
            case NetMessage::Type::Alive: return;
        }
    }

    void hello(const NetMessage& message) {
        if (slot != 0 || phase != Phase::Connecting) return malformed("a greeting out of turn");
        if (const std::optional<Refusal> refusal = differences(message, options.rollback)) {
            tellEnd(NetMessage::EndKind::Refused, -1, refusal->forJoiner);
            return end(refusal->forHost);
        }
        NetMessage start;
        start.type = NetMessage::Type::Start;
        start.seed = options.seed != 0 ? options.seed % 32768 : std::random_device{}() % 32768;
        start.delay = std::clamp(options.delay, 0, NetMessage::MostDelay);
        start.levelFile = options.levelFile;
        start.settings = settings.tuning();
        start.rollback = std::clamp(options.rollback, 0, NetMessage::MostRollback);
        send(start);
        begin(start);
    }

    void start(const NetMessage& message) {
        if (slot != 1 || phase != Phase::Connecting) return malformed("a start out of turn");
        // The host refuses a joiner of the other mode; a start in it is no answer to us.
        if ((message.rollback > 0) != (options.rollback > 0)) return malformed("a start of another mode");
        begin(message);
    }

    void begin(const NetMessage& start) {
        settings.install(start.settings);
        seed = start.seed;
        delay = start.delay;
        rollback = start.rollback;
        levelFile = start.levelFile;
        peerHas = delay;
        // The first ticks wait for no one: nobody could have sent input for them.
        for (int t = 0; t < delay; ++t) {
            inputs[0][t];
            inputs[1][t];
        }
        sentThrough = delay - 1;
        receivedThrough = delay - 1;
        phase = Phase::Starting;
    }

    void input(const NetMessage& message) {
        if (phase == Phase::Connecting) return malformed("input before the game started");
        if (rollback > 0) return malformed("lockstep input in a rollback game");
        if (message.tick != receivedThrough + 1) {
            return malformed("input for tick " + std::to_string(message.tick) + " where tick " +
                             std::to_string(receivedThrough + 1) + " was due");
        }
        const int peer = 1 - slot;
        for (const InputEvent& event : message.events) {
            if (!OnlineControls::belongsTo(event, peer)) {
                return malformed("input that is not the other player's to give");
            }
        }
        inputs[peer][message.tick] = message.events;
        receivedThrough = message.tick;
    }

    void digest(const NetMessage& message) {
        StateDigest theirs;
        if (phase == Phase::Connecting || !parseDigest(message.text, theirs)) return malformed("an unreadable digest");
        peerDigests[message.tick] = std::move(theirs);
        compareDigests();
    }

    void compareDigests() {
        while (!ownDigests.empty() && !peerDigests.empty()) {
            const auto ours = ownDigests.begin();
            const auto theirs = peerDigests.begin();
            if (ours->first != theirs->first) {
                // A digest without its partner is older than the other side's first: drop it.
                if (ours->first < theirs->first) {
                    ownDigests.erase(ours);
                } else {
                    peerDigests.erase(theirs);
                }
                continue;
            }
            const std::string difference = ours->second.firstDifference(theirs->second);
            const int at = ours->first;
            ownDigests.erase(ours);
            peerDigests.erase(theirs);
            if (!difference.empty()) {
                const std::string line = "The game went out of step at tick " + std::to_string(at) + ": " +
                                         difference.substr(0, 300) + ".";
                tellEnd(NetMessage::EndKind::OutOfStep, at, line);
                return end(line);
            }
        }
    }

    void peerEnded(const NetMessage& message) {
        if (message.endKind == NetMessage::EndKind::Left) {
            // A peer back at its menu sent its input up to that tick before its goodbye;
            // a goodbye beyond the input received would hold this game for input that
            // never comes.
            // With rollback this side may have run past that tick on a guess; it is
            // enough that no certain tick lies beyond it.
            const int passed = rollback > 0 ? recordedThrough + 1 : tick;
            if (phase == Phase::Playing && message.tick >= passed && message.tick <= receivedThrough) {
                peerEndTick = message.tick;
                return;
            }
            return end(kPeerLeft);
        }
        end(message.text.empty() ? kPeerLeft : message.text);
    }

    void malformed(const std::string& what) {
        tellEnd(NetMessage::EndKind::OutOfStep, tick, "The other player could not read our message (" + what + ").");
        end("The other player sent a message we cannot read (" + what + ").");
    }

    void sendOwnInput() {
        NetMessage message;
        message.type = NetMessage::Type::Input;
        message.tick = ++sentThrough;
        // A burst beyond one tick's worth goes out over the next ticks.
        const auto taken = pending.begin() + std::min(pending.size(), NetMessage::MostEventsPerTick);
        message.events.assign(pending.begin(), taken);
        pending.erase(pending.begin(), taken);
        if (rollback == 0) send(message);
        inputs[slot][message.tick] = std::move(message.events);
    }

    void tellEnd(NetMessage::EndKind kind, int atTick, const std::string& text) {
        // The last input may have been lost on the way; ahead of a goodbye it goes
        // reliably, so the other side can play up to where this one left.
        if (rollback > 0 && phase == Phase::Playing) link.send(inputsMessage().encode());
        NetMessage message;
        message.type = NetMessage::Type::End;
        message.endKind = kind;
        message.tick = atTick;
        message.text = text;
        send(message);
    }

    void send(const NetMessage& message) {
        link.send(message.encode());
        link.flush();
        lastSent = Clock::now();
    }

    void end(const std::string& why) {
        if (phase == Phase::Ended) return;
        phase = Phase::Ended;
        // Peer text reaches the reason: file names, part names, the peer's own words.
        reason = PeerText::clean(why);
        stalledSince.reset();
    }


    // Rollback play.

    bool rollbackTickReady() {
        // Ticks run again inside a rollback were decided on by the rollback itself.
        if (runningAgain) return true;
        if (peerEndTick >= 0 && recordedThrough >= peerEndTick) {
            // Every tick up to where the peer went back to the menu is certain, and this
            // game did not go: the peer is gone.
            end(kPeerLeft);
            return true;
        }
        if (sentThrough < tick + delay) {
            sendOwnInput();
            sendInputs();
        }
        runAgainFromWrongGuess();
        confirmTicks();
        if (phase != Phase::Playing) return true;
        const Clock::time_point now = Clock::now();
        if (now < heldUntil) return false;
        const bool inPlay = Game::instance().isInPlay();
        const bool ready = tick <= receivedThrough || (tick - receivedThrough <= rollback && inPlay);
        if (ready) {
            stalledSince.reset();
            waiting = false;
            if (runsAhead()) {
                heldUntil = now + kPaceHold;
                lastHoldTick = tick;
                ++figures.paceHolds;
                return false;
            }
        } else {
            if (!stalledSince) stalledSince = now;
            // Menus and cutscenes always wait; only a wait in the fight counts.
            if (!waiting && inPlay) ++figures.waits;
            waiting = true;
        }
        return ready;
    }

    // Both sides see the other's tick as it was one network trip ago; when this side's
    // lead over the other exceeds the other's lead over this one, this side is ahead of
    // the common clock by half the difference and lets the other catch up.
    bool runsAhead() const {
        if (peerRunningTick < 0 || tick - lastHoldTick < kTicksBetweenHolds) return false;
        const int lead = tick - peerRunningTick;
        return lead - peerLead >= kLeadWorthHolding;
    }

    // A tick whose certain input differs from the guess it ran on: the match is
    // brought back to it and the ticks since run again, as far as they may.
    void runAgainFromWrongGuess() {
        if (wrongFrom < 0) return;
        const int from = wrongFrom;
        const int until = tick;
        wrongFrom = -1;
        const auto savedAt = saved.find(from);
        if (savedAt == saved.end()) return;  // never: every guessed tick is kept
        const double started = processorSeconds();
        SoundManager& sound = SoundManager::instance();
        sound.takeBackSoundsFrom(from);
        provisional.erase(provisional.upper_bound(from), provisional.end());
        Game& game = Game::instance();
        InputSeam& seam = InputSeam::instance();
        game.restore(savedAt->second);
        tick = from;
        runningAgain = true;
        while (tick < until && phase == Phase::Playing && seam.isPlaying() &&
               (tick <= receivedThrough || (tick - receivedThrough <= rollback && game.isInPlay()))) {
            game.rerunTick(20);
        }
        runningAgain = false;
        sound.settleSounds();
        if (figures.rollbacks++ == 0) figures.firstFrom = from;
        figures.longest = std::max(figures.longest, until - from);
        figures.ticksRunAgain += until - from;
        figures.secondsRunningAgain += processorSeconds() - started;
        recentRollbacks.push_back(Clock::now());
        if (recentRollbacks.size() > 64) recentRollbacks.pop_front();
    }

    void rollbackTickStarting() {
        if (phase != Phase::Playing) return;
        Game& game = Game::instance();
        const bool guessing = tick > receivedThrough;
        if (guessing) saved[tick] = game.snapshot();
        SoundManager::instance().fileSoundsUnder(tick);
        tickOpen = true;
        deliveredThisTick.clear();
        // Host's input first, then the joiner's, on both machines alike; the other
        // side's while guessing is none: what it holds stays held.
        for (int side = 0; side < 2; ++side) {
            if (side != slot && guessing) continue;
            for (const InputEvent& event : inputs[side][tick]) {
                if (phase != Phase::Playing || !InputSeam::instance().isPlaying()) return;
                deliveredThisTick.push_back(event);
                InputSeam::instance().deliver(event);
            }
        }
    }

    void rollbackTickEnded() {
        tickOpen = false;
        ++tick;
        if (tick % ReplayFile::DigestInterval == 0) provisional[tick] = StateDigest::of(Game::instance());
        confirmTicks();
    }

    // Ticks that ran on certain input, in order: the replay hears of them, and their
    // digests go to the other side. What no rollback can need any more is let go.
    void confirmTicks() {
        while (recordedThrough + 1 < tick && recordedThrough + 1 <= receivedThrough &&
               (wrongFrom < 0 || recordedThrough + 1 < wrongFrom)) {
            const int t = ++recordedThrough;
            std::string digestText;
            const auto digest = provisional.find(t + 1);
            if (digest != provisional.end()) {
                digestText = digest->second.toText();
                NetMessage message;
                message.type = NetMessage::Type::Digest;
                message.tick = t + 1;
                message.text = digestText;
                send(message);
                ownDigests[t + 1] = std::move(digest->second);
                provisional.erase(digest);
            }
            if (recorder != nullptr) {
                for (int side = 0; side < 2; ++side) {
                    for (const InputEvent& event : inputs[side][t]) recorder->inputDelivered(event);
                }
                recorder->pastTickEnded(digestText);
            }
            compareDigests();
            if (phase != Phase::Playing) return;
        }
        const int keepFrom = wrongFrom >= 0 ? std::min(recordedThrough + 1, wrongFrom) : recordedThrough + 1;
        saved.erase(saved.begin(), saved.lower_bound(keepFrom));
        inputs[1 - slot].erase(inputs[1 - slot].begin(), inputs[1 - slot].lower_bound(keepFrom));
        inputs[slot].erase(inputs[slot].begin(), inputs[slot].lower_bound(std::min(keepFrom, peerHas)));
        SoundManager::instance().forgetSoundsBefore(keepFrom);
    }

    // The game goes back to the menu: the replay gets every certain tick and ends on the
    // match both sides agree on.
    void finishRollbackPlay() {
        SoundManager::instance().stopFilingSounds();
        InputSeam& seam = InputSeam::instance();
        if (recorder == nullptr) return;
        confirmTicks();
        if (tickOpen) {
            // Left within a tick (from a menu, which runs on certain input only): the
            // replay has what it delivered up to the leaving.
            if (tick == recordedThrough + 1 && tick <= receivedThrough) {
                for (const InputEvent& event : deliveredThisTick) recorder->inputDelivered(event);
            }
        } else if (recordedThrough + 1 < tick) {
            // Ended between ticks with guessed ones run (the other side left or went
            // silent): back to the last certain tick, which the replay's end describes.
            const auto savedAt = saved.find(recordedThrough + 1);
            if (savedAt != saved.end()) Game::instance().restore(savedAt->second);
        }
        tickOpen = false;
        recorder->playEnded();
        seam.setListener(recorder);
        recorder = nullptr;
    }

    NetMessage inputsMessage() const {
        NetMessage message;
        message.type = NetMessage::Type::Inputs;
        message.tick = peerHas;
        const int last = std::min(sentThrough, peerHas + static_cast<int>(NetMessage::MostInputTicks) - 1);
        for (int t = peerHas; t <= last; ++t) {
            const auto found = inputs[slot].find(t);
            message.ticks.push_back(found != inputs[slot].end() ? found->second : std::vector<InputEvent>{});
        }
        message.acknowledged = receivedThrough + 1;
        message.runningTick = tick;
        message.lead = peerRunningTick < 0 ? 0 : tick - peerRunningTick;
        return message;
    }

    void sendInputs() {
        link.sendUnreliable(inputsMessage().encode());
        link.flush();
        lastInputsSent = lastSent = Clock::now();
    }

    void inputRun(const NetMessage& message) {
        if (phase == Phase::Connecting || rollback == 0) return malformed("input before the game started");
        if (message.acknowledged > sentThrough + 1) return malformed("an acknowledgement of input never sent");
        const int peer = 1 - slot;
        for (const std::vector<InputEvent>& events : message.ticks) {
            for (const InputEvent& event : events) {
                if (!OnlineControls::belongsTo(event, peer)) {
                    return malformed("input that is not the other player's to give");
                }
            }
        }
        peerHas = std::max(peerHas, message.acknowledged);
        if (message.runningTick >= peerRunningTick) {
            peerRunningTick = message.runningTick;
            peerLead = message.lead;
        }
        for (std::size_t i = 0; i < message.ticks.size(); ++i) {
            const int t = message.tick + static_cast<int>(i);
            if (t > receivedThrough) inputs[peer].emplace(t, message.ticks[i]);
        }
        while (true) {
            const auto next = inputs[peer].find(receivedThrough + 1);
            if (next == inputs[peer].end()) break;
            receivedThrough = next->first;
            // Run on the guess that nothing changed: only input there makes it wrong.
            if (receivedThrough < tick && !next->second.empty()) {
                wrongFrom = wrongFrom < 0 ? receivedThrough : std::min(wrongFrom, receivedThrough);
            }
        }
    }

    // The replay's listener while rollback play runs (detached from the seam meanwhile).
    InputSeam::Listener* recorder = nullptr;
    // Every tick before this one was run on certain input and told of.
    int recordedThrough = -1;
    // The other side holds this side's input for every tick before this one.
    int peerHas = 0;
    // The earliest tick run on a wrong guess, or -1.
    int wrongFrom = -1;
    bool runningAgain = false;
    // A tick has started and not ended: the game is inside it.
    bool tickOpen = false;
    bool waiting = false;
    int peerRunningTick = -1;
    int peerLead = 0;
    int lastHoldTick = -kTicksBetweenHolds;
    Clock::time_point heldUntil;
    Clock::time_point lastInputsSent;
    // The match as each guessed tick began.
    std::map<int, Match> saved;
    // Digests of ticks not yet certain, by the ticks run.
    std::map<int, StateDigest> provisional;
    std::vector<InputEvent> deliveredThisTick;

    bool peerInputComplete() const { return peerEndTick >= 0 && receivedThrough >= peerEndTick; }

    Clock::time_point lastHeard;
    Clock::time_point lastSent;
    Clock::time_point connectedAt;
    std::optional<Clock::time_point> stalledSince;
    // Ticks of play run so far; input is sent for tick + delay.
    int tick = 0;
    int sentThrough = -1;
    int receivedThrough = -1;
    // The tick at which the peer's game returned to the menu, once it says so.
    int peerEndTick = -1;
    std::vector<InputEvent> pending;
    std::map<int, double> lastAxis;
    std::map<int, std::vector<InputEvent>> inputs[2];
    std::map<int, StateDigest> ownDigests;
    std::map<int, StateDigest> peerDigests;
};

OnlineSession::OnlineSession(const Options& options) : impl(std::make_unique<Impl>(options)) {}

OnlineSession::~OnlineSession() = default;

void OnlineSession::service() { impl->service(); }
OnlineSession::Phase OnlineSession::phase() const { return impl->phase; }
const std::string& OnlineSession::levelFile() const { return impl->levelFile; }
int OnlineSession::inputDelay() const { return impl->delay; }
int OnlineSession::rollbackDepth() const { return impl->rollback; }
int OnlineSession::ticksRun() const { return impl->ticksRun(); }
const OnlineSession::RollbackFigures& OnlineSession::rollbackFigures() const { return impl->figures; }
int OnlineSession::rollbacksLastSecond() const { return impl->rollbacksLastSecond(); }
int OnlineSession::stalledMilliseconds() const { return impl->stalledMilliseconds(); }
int OnlineSession::roundTripMilliseconds() const { return impl->link.roundTripMilliseconds(); }
const std::string& OnlineSession::endReason() const { return impl->reason; }
void OnlineSession::giveUp() { impl->giveUp(); }
void OnlineSession::restoreSettings() { impl->settings.restore(); }
uint64_t OnlineSession::bytesSent() const { return impl->link.bytesSent(); }
uint64_t OnlineSession::bytesReceived() const { return impl->link.bytesReceived(); }

unsigned OnlineSession::seed() const { return impl->seed; }
bool OnlineSession::tickReady() { return impl->tickReady(); }
void OnlineSession::playStarted(const InputSeam::PlayStart& start) { impl->playStarted(start); }
void OnlineSession::inputDelivered(const InputEvent&) {}
void OnlineSession::tickStarting() { impl->tickStarting(); }
void OnlineSession::tickEnded() { impl->tickEnded(); }
void OnlineSession::playEnded() { impl->playEnded(); }
void OnlineSession::liveKey(int key, bool down) { impl->live(impl->controls.key(key, down)); }
void OnlineSession::liveJoystickButton(int joystick, int button, bool down) {
    impl->live(impl->controls.button(joystick, button, down));
}
void OnlineSession::liveJoystickAxis(int joystick, int axis, double value) {
    impl->live(impl->controls.axis(joystick, axis, value));
}
int OnlineSession::credits(int, int held) { return held; }
