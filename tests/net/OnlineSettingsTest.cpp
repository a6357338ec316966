// What crosses between the machines of an online game: the host sends only its game
// tuning, and a joiner takes nothing else from a host, whatever a hostile one sends.
// When the game ends, the joiner's menu and every setting are its own again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "core/Game.h"
#include "core/GameVersion.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "net/EnetLink.h"
#include "net/NetMessage.h"
#include "net/OnlineSession.h"
#include "support/TempDataDir.h"
#include "ui/Menu.h"

namespace {

const int kPort = 20000 + (getpid() * 7) % 30000;

// The other machine, played by the test: it says exactly what the test makes it say.
class ScriptedPeer {
public:
    explicit ScriptedPeer(const std::string& host) : link(host, kPort) {}

    // Services `service` and this side until `done`, for at most five seconds.
    void exchange(const std::function<void()>& service, const std::function<bool()>& done) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < giveUp) {
            service();
            for (const EnetLink::Event& event : link.poll()) {
                NetMessage message;
                std::string error;
                if (event.kind == EnetLink::Event::Kind::Received &&
                    NetMessage::decode(event.bytes.data(), event.bytes.size(), {0, 1000}, message, error) &&
                    message.type != NetMessage::Type::Alive) {
                    heard.push_back(message);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void send(const NetMessage& message) { link.send(message.encode()); }
    bool heardA(NetMessage::Type type) const {
        for (const NetMessage& message : heard) {
            if (message.type == type) return true;
        }
        return false;
    }
    const NetMessage* first(NetMessage::Type type) const {
        for (const NetMessage& message : heard) {
            if (message.type == type) return &message;
        }
        return nullptr;
    }

    EnetLink link;
    std::vector<NetMessage> heard;
};

NetMessage startWith(const std::string& level, const std::vector<std::string>& settings) {
    NetMessage start;
    start.type = NetMessage::Type::Start;
    start.seed = 7;
    start.delay = 3;
    start.levelFile = level;
    start.settings = settings;
    return start;
}

// This machine's own settings, some of which a hostile host would like to change.
void ownSettings() {
    Settings& settings = Settings::instance();
    settings.setInt("online", 1);
    settings.setInt("onlineRollback", 0);
    settings.setString("onlineHost", "127.0.0.1");
    settings.setInt("onlinePort", kPort);
    settings.setInt("arcade", 0);
    settings.setInt("music", 0);
    settings.setInt("escape", 27);
    settings.setInt("player1Up", 357);
    settings.setInt("player1Down", 359);
    settings.setString("dataDirectory", "/my/data");
    settings.setString("replayDirectory", "/my/replays");
    settings.setFloat("moveSpeed", 0.25f);
    settings.setFloat("gravity", 40.0f);
    settings.setFloat("x_offset", 10.0f);
    settings.setInt("friendlyFire", 0);
}

// A host sends what it likes: the joiner plays by the host's tuning, within its limits,
// and keeps its mode, keys, coin link, folders and everything else. A level name that no
// level file could name (here one with a space) ends the handshake instead of a game.
TEST(OnlineSettingsTest, AJoinerTakesOnlyTheHostsGameTuningAndHasItsOwnMenuBackAfterTheGame) {
    const TempDataDir data;
    data.write("levels/level1.dat", "end 1000\n");
    data.write("levels/my level.dat", "end 1000\n");
    ownSettings();
    Settings& settings = Settings::instance();
    Game& game = Game::instance();
    const auto run = [&game] { game.update(20); };

    {
        ScriptedPeer host("");
        ASSERT_TRUE(game.startOnlineGame());
        host.exchange(run, [&] { return host.heardA(NetMessage::Type::Hello); });
        host.send(startWith("my level.dat", {}));
        host.exchange(run, [&] { return !game.isOnline(); });
        EXPECT_FALSE(game.isOnline());
        EXPECT_EQ(game.getLevelName(), "") << "no game began";
    }

    // As the game has read it (a getter may add a key at its default).
    const std::vector<std::string> before = settings.toLines();
    ScriptedPeer host("");
    ASSERT_TRUE(game.startOnlineGame());
    host.exchange(run, [&] { return host.heardA(NetMessage::Type::Hello); });
    host.send(startWith("level1.dat",
                        {"int arcade 1", "int escape 120", "string coin_host attacker.example", "string coin_port 7777",
                         "string playReplay /tmp/evil.replay", "int showRegions 1", "string dataDirectory /evil",
                         "string replayDirectory /evil", "int player1Up 65", "float moveSpeed 0.5",
                         "float gravity 1e30", "float x_offset -5", "int friendlyFire 3", "int online 0"}));
    host.exchange(run, [&] { return InputSeam::instance().isPlaying(); });
    ASSERT_TRUE(InputSeam::instance().isPlaying());
    EXPECT_EQ(settings.getInt("arcade"), 0);
    EXPECT_EQ(settings.getInt("escape"), 27);
    EXPECT_EQ(settings.getString("coin_host"), "");
    EXPECT_EQ(settings.getString("coin_port"), "");
    EXPECT_EQ(settings.getString("playReplay"), "");
    EXPECT_EQ(settings.getInt("showRegions"), 0);
    EXPECT_EQ(settings.getString("dataDirectory"), "/my/data");
    EXPECT_EQ(settings.getString("replayDirectory"), "/my/replays");
    EXPECT_EQ(settings.getInt("online"), 1);
    EXPECT_GE(settings.getInt("player1Up"), NetMessage::ControlKeyBase) << "the session binds the controls";
    EXPECT_EQ(settings.getFloat("moveSpeed"), 0.5f);
    EXPECT_EQ(settings.getFloat("gravity"), limits::gravity.highest);
    EXPECT_EQ(settings.getFloat("x_offset"), 0.0f);
    EXPECT_EQ(settings.getInt("friendlyFire"), 1);

    NetMessage left;
    left.type = NetMessage::Type::End;
    left.endKind = NetMessage::EndKind::Left;
    left.tick = -1;
    host.send(left);
    host.exchange(run, [&] { return !game.isOnline(); });
    ASSERT_FALSE(game.isOnline());
    EXPECT_EQ(settings.toLines(), before);
    EXPECT_FALSE(game.isAttract());
    ASSERT_NE(game.getMenu(), nullptr);
    const unsigned selected = game.getMenu()->selectedIndex();
    game.keyboard(359, 0, true, 0);
    EXPECT_NE(game.getMenu()->selectedIndex(), selected) << "the menu answers to this player's own keys";
}

// A host's machine is its own: its folders, window and mode never leave it.
TEST(OnlineSettingsTest, AHostSendsItsGameTuningAndNothingOfItsMachine) {
    const TempDataDir data;
    ownSettings();
    Settings::instance().setString("onlineHost", "");
    Settings::instance().setInt("width", 1024);
    ScriptedPeer joiner("127.0.0.1");
    {
        OnlineSession host({"", kPort, 3, "level1.dat"});
        joiner.exchange([&] { host.service(); }, [&] { return joiner.link.isConnected(); });
        NetMessage hello;
        hello.type = NetMessage::Type::Hello;
        hello.gameVersion = kGameVersion;
        joiner.send(hello);
        joiner.exchange([&] { host.service(); }, [&] { return joiner.heardA(NetMessage::Type::Start); });
    }
    const NetMessage* start = joiner.first(NetMessage::Type::Start);
    ASSERT_NE(start, nullptr);
    std::vector<std::string> sent = start->settings;
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, (std::vector<std::string>{"float gravity 40", "float moveSpeed 0.25", "float x_offset 10",
                                              "int friendlyFire 0"}));
}

}  // namespace
