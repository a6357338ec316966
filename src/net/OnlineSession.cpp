#include "net/OnlineSession.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

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

std::optional<Refusal> differences(const NetMessage& hello) {
    if (hello.protocol != NetMessage::Protocol || hello.gameVersion != kGameVersion) {
        const std::string theirs = hello.protocol != NetMessage::Protocol ? "another network protocol"
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
          link(options.host, options.port),
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
        } else if (now - lastSent >= kKeepAlive) {
            send(NetMessage{});
        }
    }

    bool tickReady() {
        if (phase != Phase::Playing) return true;
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

    void playStarted() {
        if (phase == Phase::Starting) phase = Phase::Playing;
    }

    void playEnded() {
        // The game is on its way to the menu: the menu is this player's own.
        settings.restore();
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

private:
    void greet() {
        NetMessage hello;
        hello.type = NetMessage::Type::Hello;
        hello.gameVersion = kGameVersion;
        hello.data = DataDigest::current();
        send(hello);
    }

    void receive(const std::vector<uint8_t>& bytes) {
        const int slack = 2 * delay + 4;
        const NetMessage::TickWindow window{std::max(0, tick - slack), tick + slack};
        NetMessage message;
        std::string error;
        if (!NetMessage::decode(bytes.data(), bytes.size(), window, message, error)) return malformed(error);
        switch (message.type) {
            case NetMessage::Type::Hello: return hello(message);
            case NetMessage::Type::Start: return start(message);
            case NetMessage::Type::Input: return input(message);
            case NetMessage::Type::Digest: return digest(message);
            case NetMessage::Type::End: return peerEnded(message);
            case NetMessage::Type::Alive: return;
        }
    }

    void hello(const NetMessage& message) {
        if (slot != 0 || phase != Phase::Connecting) return malformed("a greeting out of turn");
        if (const std::optional<Refusal> refusal = differences(message)) {
            tellEnd(NetMessage::EndKind::Refused, -1, refusal->forJoiner);
            return end(refusal->forHost);
        }
        NetMessage start;
        start.type = NetMessage::Type::Start;
        start.seed = std::random_device{}() % 32768;
        start.delay = std::clamp(options.delay, 0, NetMessage::MostDelay);
        start.levelFile = options.levelFile;
        start.settings = settings.tuning();
        send(start);
        begin(start);
    }

    void start(const NetMessage& message) {
        if (slot != 1 || phase != Phase::Connecting) return malformed("a start out of turn");
        begin(message);
    }

    void begin(const NetMessage& start) {
        settings.install(start.settings);
        seed = start.seed;
        delay = start.delay;
        levelFile = start.levelFile;
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
            if (phase == Phase::Playing && message.tick >= tick && message.tick <= receivedThrough) {
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
        send(message);
        inputs[slot][message.tick] = std::move(message.events);
    }

    void tellEnd(NetMessage::EndKind kind, int atTick, const std::string& text) {
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
int OnlineSession::stalledMilliseconds() const { return impl->stalledMilliseconds(); }
int OnlineSession::roundTripMilliseconds() const { return impl->link.roundTripMilliseconds(); }
const std::string& OnlineSession::endReason() const { return impl->reason; }
void OnlineSession::giveUp() { impl->giveUp(); }
void OnlineSession::restoreSettings() { impl->settings.restore(); }
uint64_t OnlineSession::bytesSent() const { return impl->link.bytesSent(); }
uint64_t OnlineSession::bytesReceived() const { return impl->link.bytesReceived(); }

unsigned OnlineSession::seed() const { return impl->seed; }
bool OnlineSession::tickReady() { return impl->tickReady(); }
void OnlineSession::playStarted(const InputSeam::PlayStart&) { impl->playStarted(); }
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
