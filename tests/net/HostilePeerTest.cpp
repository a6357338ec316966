// A scripted peer that breaks the rules plays the joiner against a real Game hosting
// on 127.0.0.1: whatever it sends or withholds costs at most the online game, with a
// clean line for the player, never this machine's menu, process, console or slot.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

#include "core/Game.h"
#include "core/GameVersion.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/EnetLink.h"
#include "net/NetMessage.h"
#include "net/OnlineSession.h"
#include "net/PeerText.h"
#include "support/TempDataDir.h"
#include "ui/MainMenu.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kUp = 357;
constexpr int kDown = 359;
constexpr int kAttack = 'k';
// The joiner's controls, as both machines bind them in an online game.
constexpr int kPeerDown = NetMessage::ControlKeyBase + 8 + 3;
constexpr int kPeerAttack = NetMessage::ControlKeyBase + 8 + 4;

bool insideTest = false;

// Game::quit ends the process with status 0, which the test runner would take for a pass.
void failOnQuit() {
    if (insideTest) {
        std::fputs("The game quit in the middle of a test.\n", stderr);
        std::_Exit(1);
    }
}

int freeUdpPort() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

bool hasControlCharacter(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 32 && byte != '\n') || byte == 127) return true;
        if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xa0) return true;
    }
    return false;
}

NetMessage greeting() {
    NetMessage hello;
    hello.type = NetMessage::Type::Hello;
    hello.gameVersion = kGameVersion;
    return hello;
}

class HostilePeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool guarded = std::atexit(failOnQuit) == 0;
        ASSERT_TRUE(guarded);
        insideTest = true;
        Settings& settings = Settings::instance();
        settings.setInt("player1Up", kUp);
        settings.setInt("player1Down", kDown);
        settings.setInt("player1Attack", kAttack);
        settings.setInt("online", 1);
        settings.setInt("onlinePort", port);
        // The scripted joiner speaks lockstep unless a test says otherwise.
        settings.setInt("onlineRollback", 0);
        game().showMainMenu();
    }
    void TearDown() override { insideTest = false; }

    static Game& game() { return Game::instance(); }
    static bool sessionOver() { return !game().isOnline(); }

    // Ticks the game and listens as the joiner (unless it keeps silent) until `done`;
    // false when `most` passed first.
    bool run(const std::function<bool()>& done, Clock::duration most = seconds(3)) {
        const Clock::time_point giveUp = Clock::now() + most;
        while (!done()) {
            if (Clock::now() > giveUp) return false;
            game().update(20);
            if (joiner && !silent) listen(*joiner, true);
            if (squatter) listen(*squatter, false);
            std::this_thread::sleep_for(milliseconds(1));
        }
        return true;
    }

    void listen(EnetLink& link, bool keep) {
        for (const EnetLink::Event& event : link.poll()) {
            NetMessage message;
            std::string error;
            if (keep && event.kind == EnetLink::Event::Kind::Received &&
                NetMessage::decode(event.bytes.data(), event.bytes.size(), {0, std::numeric_limits<int>::max()},
                                   message, error) &&
                message.type != NetMessage::Type::Alive) {
                heard.push_back(message);
            }
        }
    }

    void connect(int channels = 1) {
        ASSERT_TRUE(game().startOnlineGame());
        joiner = std::make_unique<EnetLink>("127.0.0.1", port, channels);
        heard.clear();
        silent = false;
        ASSERT_TRUE(run([&] { return joiner->isConnected(); }));
    }

    // The joiner's side of the handshake, until the host's game is under way.
    void meet(int rollback = 0) {
        connect(rollback > 0 ? 2 : 1);
        NetMessage hello = greeting();
        if (rollback > 0) {
            hello.protocol = NetMessage::RollbackProtocol;
            hello.rollback = rollback;
        }
        send(hello);
        ASSERT_TRUE(run([&] { return game().isOnline() && !game().isWaitingForPeer(); })) << game().getMenuNote();
        ASSERT_FALSE(heard.empty());
        ASSERT_EQ(heard[0].type, NetMessage::Type::Start);
        delay = heard[0].delay;
    }

    void send(const NetMessage& message) {
        joiner->send(message.encode());
        joiner->flush();
    }

    void sendInput(int tick, const std::vector<InputEvent>& events) {
        NetMessage input;
        input.type = NetMessage::Type::Input;
        input.tick = tick;
        input.events = events;
        send(input);
    }

    const int port = freeUdpPort();
    TempDataDir dir;
    std::unique_ptr<EnetLink> joiner;
    std::unique_ptr<EnetLink> squatter;
    std::vector<NetMessage> heard;
    bool silent = false;
    int delay = 0;
};

TEST_F(HostilePeerTest, AMessageWeCannotReadEndsTheGameWithTheReasonOnBothSides) {
    Settings::instance().setInt("player1Left", 356);
    meet();
    EXPECT_NE(Settings::instance().getInt("player1Left"), 356);
    sendInput(delay + 1, {});  // tick `delay` is due first
    ASSERT_TRUE(run([&] { return sessionOver() && heard.size() >= 2; }));
    const std::string expected = "input for tick " + std::to_string(delay + 1) + " where tick " +
                                 std::to_string(delay) + " was due";
    EXPECT_EQ(game().getMenuNote(), "The other player sent a message we cannot read (" + expected + ").");
    EXPECT_EQ(heard.back().type, NetMessage::Type::End);
    EXPECT_EQ(heard.back().text, "The other player could not read our message (" + expected + ").");
    // This machine's own keys come back with the session gone.
    EXPECT_EQ(Settings::instance().getInt("player1Left"), 356);
}

TEST_F(HostilePeerTest, InputAfterTheGameEndedActsOnNothingAndTheMenuAnswersAtOnce) {
    meet();
    // One tick's input: pause, down twice to "Exit", take it, then Escape, which in the
    // main menu quits.
    sendInput(delay, {InputEvent::key(27, true), InputEvent::key(kPeerDown, true), InputEvent::key(kPeerDown, true),
                      InputEvent::key(kPeerAttack, true), InputEvent::key(27, true)});
    ASSERT_TRUE(run(sessionOver));
    Menu* menu = game().getMenu();
    ASSERT_NE(dynamic_cast<MainMenu*>(menu), nullptr);
    const unsigned before = menu->selectedIndex();
    InputSeam::instance().key(kDown, true);
    EXPECT_EQ(menu->selectedIndex(), before + 1) << "this machine's own Down moves in the menu";
    // Another peer's key that is neither its control nor a menu key ends the game.
    meet();
    sendInput(delay, {InputEvent::key(268, true)});
    ASSERT_TRUE(run(sessionOver));
    EXPECT_EQ(game().getMenuNote(),
              "The other player sent a message we cannot read (input that is not the other player's to give).");
}

TEST_F(HostilePeerTest, EveryWaitEnds) {
    meet();
    // A goodbye for a tick far beyond any input sent, then silence.
    NetMessage goodbye;
    goodbye.type = NetMessage::Type::End;
    goodbye.tick = 1000000;
    send(goodbye);
    silent = true;
    ASSERT_TRUE(run(sessionOver, seconds(7)));
    EXPECT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    joiner.reset();

    // A peer that is there but sends no input: once the player is told the game waits
    // for the network, Escape gives up, and the peer hears so.
    ASSERT_NO_FATAL_FAILURE(meet());
    ASSERT_TRUE(run([&] {
        return game().getOnlineSession()->stalledMilliseconds() >= OnlineSession::StallNoticeMilliseconds;
    }));
    InputSeam::instance().key(27, true);
    EXPECT_TRUE(run(sessionOver, seconds(2)));
    EXPECT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    EXPECT_EQ(game().getMenuNote(), "");
    EXPECT_TRUE(run([&] { return !heard.empty() && heard.back().type == NetMessage::Type::End; }));
}

// Rollback play keeps the rules: a joiner of the other mode is refused in words, a
// joiner that goes quiet holds the host once its guesses run out and Escape then gives
// up, and input of the host's own controls or an acknowledgement of input never sent
// ends the game.
TEST_F(HostilePeerTest, RollbackPlayKeepsTheRules) {
    Settings::instance().setInt("onlineRollback", 8);
    connect();
    send(greeting());
    ASSERT_TRUE(run(sessionOver));
    EXPECT_EQ(game().getMenuNote(),
              "The other player plays in lockstep (onlineRollback 0); we play with rollback (onlineRollback 8).");
    joiner.reset();

    ASSERT_NO_FATAL_FAILURE(meet(8));
    EXPECT_EQ(game().getOnlineSession()->rollbackDepth(), 8);
    ASSERT_TRUE(run([&] {
        return game().getOnlineSession()->stalledMilliseconds() >= OnlineSession::StallNoticeMilliseconds;
    }));
    EXPECT_LE(game().getOnlineSession()->ticksRun(), delay + 8);
    InputSeam::instance().key(27, true);
    EXPECT_TRUE(run(sessionOver, seconds(2)));
    joiner.reset();

    const auto inputRun = [&](std::vector<InputEvent> events, int acknowledged) {
        NetMessage message;
        message.type = NetMessage::Type::Inputs;
        message.tick = delay;
        message.ticks = {std::move(events)};
        message.acknowledged = acknowledged;
        message.runningTick = delay;
        joiner->sendUnreliable(message.encode());
        joiner->flush();
    };
    ASSERT_NO_FATAL_FAILURE(meet(8));
    inputRun({InputEvent::key(NetMessage::ControlKeyBase + 4, true)}, delay);
    ASSERT_TRUE(run(sessionOver));
    EXPECT_EQ(game().getMenuNote(),
              "The other player sent a message we cannot read (input that is not the other player's to give).");
    joiner.reset();
    ASSERT_NO_FATAL_FAILURE(meet(8));
    inputRun({}, 1000000);
    ASSERT_TRUE(run(sessionOver));
    EXPECT_EQ(game().getMenuNote(),
              "The other player sent a message we cannot read (an acknowledgement of input never sent).");
}

TEST_F(HostilePeerTest, ABurstOfOurOwnInputGoesOutOverSeveralTicks) {
    meet();
    for (int i = 0; i < 10; ++i) {
        InputSeam::instance().key(kAttack, true);
        InputSeam::instance().key(kAttack, false);
    }
    // Within the ticks the host believes in from its first tick.
    for (int tick = delay; tick <= delay + 6; ++tick) sendInput(tick, {});
    std::size_t events = 0;
    EXPECT_TRUE(run([&] {
        events = 0;
        for (const NetMessage& message : heard) events += message.events.size();
        return events >= 20;
    })) << events << " of 20 presses arrived";
    EXPECT_FALSE(sessionOver());
}

TEST_F(HostilePeerTest, PeerTextIsPrintedCleanAndShownShort) {
    EXPECT_EQ(PeerText::clean("a\x1b[2Jb\tc\x7f"), "a[2Jbc");
    // C1 in UTF-8, an overlong escape, bytes that begin or continue nothing; é stays.
    EXPECT_EQ(PeerText::clean("\xc2\x9b" "31m \xe0\x80\x9b \xc0\x9b \x9b \xc3\xa9t\xc3\xa9"),
              "31m    \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(PeerText::shortened("caf\xc3\xa9s au lait", 7), "caf...");
    EXPECT_EQ(PeerText::shortened("cafe", 4), "cafe");

    // A file name the joiner made up reaches the host's refusal line.
    connect();
    NetMessage hello = greeting();
    hello.data = {{"levels/\xc2\x9b" "2J" + std::string(200, 'x') + ".dat", "0123"}};
    testing::internal::CaptureStdout();
    send(hello);
    ASSERT_TRUE(run(sessionOver));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(hasControlCharacter(printed)) << printed;
    EXPECT_NE(printed.find("The other player has levels/2Jxxx"), std::string::npos) << printed;
    EXPECT_LE(game().getMenuNote().size(), 100u);
    EXPECT_FALSE(hasControlCharacter(game().getMenuNote()));
}

TEST_F(HostilePeerTest, AConnectionThatNeverShakesHandsIsDroppedAndTheNextPlayerGetsIn) {
    connect();
    squatter = std::move(joiner);
    Clock::time_point lastSpoke = Clock::now();
    // It keeps talking, so no silence rule would ever free the host's one place.
    EXPECT_TRUE(run(
        [&] {
            if (Clock::now() - lastSpoke > milliseconds(400)) {
                squatter->send(NetMessage{}.encode());
                lastSpoke = Clock::now();
            }
            return !squatter->isConnected();
        },
        seconds(8)));
    squatter.reset();
    EXPECT_TRUE(game().isWaitingForPeer());
    joiner = std::make_unique<EnetLink>("127.0.0.1", port);
    ASSERT_TRUE(run([&] { return joiner->isConnected(); }));
    send(greeting());
    EXPECT_TRUE(run([&] { return game().isOnline() && !game().isWaitingForPeer(); }));
}

}  // namespace
