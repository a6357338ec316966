// Every message survives the trip through bytes; damaged, oversized, out-of-window and
// out-of-order messages are refused with a reason, and a peer that sends one ends the
// online game with a line for the player instead of crashing it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "core/GameVersion.h"
#include "core/Settings.h"
#include "net/EnetLink.h"
#include "net/NetMessage.h"
#include "net/OnlineSession.h"
#include "support/TempDataDir.h"

namespace {

NetMessage::TickWindow wide() { return {0, 1000}; }

std::vector<NetMessage> everyKind() {
    std::vector<NetMessage> messages(6);
    messages[0].type = NetMessage::Type::Hello;
    messages[0].gameVersion = "1.0.0";
    messages[0].data = {{"levels/level1.dat", "0123456789abcdef"}};
    messages[1].type = NetMessage::Type::Start;
    messages[1].seed = 31000;
    messages[1].delay = 3;
    messages[1].levelFile = "level1.dat";
    messages[1].settings = {"int width 640", "string dataDirectory data"};
    messages[2].type = NetMessage::Type::Input;
    messages[2].tick = 7;
    messages[2].events = {InputEvent::key(NetMessage::ControlKeyBase + 9, true), InputEvent::key(27, false),
                          InputEvent::axis(NetMessage::SlotJoystickBase + 1, 1, -0.25)};
    messages[3].type = NetMessage::Type::Digest;
    messages[3].tick = 50;
    messages[3].text = "game=0a1b2c3d";
    messages[4].type = NetMessage::Type::End;
    messages[4].endKind = NetMessage::EndKind::OutOfStep;
    messages[4].tick = 50;
    messages[4].text = "The game went out of step at tick 50.";
    return messages;  // the sixth stays Alive
}

bool decodes(const std::vector<uint8_t>& bytes, NetMessage::TickWindow window = wide()) {
    NetMessage message;
    std::string error;
    const bool ok = NetMessage::decode(bytes.data(), bytes.size(), window, message, error);
    EXPECT_EQ(ok, error.empty());
    return ok;
}

TEST(NetMessageTest, EveryMessageRoundTripsAndEveryDamagedOneIsRefused) {
    for (const NetMessage& sent : everyKind()) {
        const std::vector<uint8_t> bytes = sent.encode();
        NetMessage got;
        std::string error;
        ASSERT_TRUE(NetMessage::decode(bytes.data(), bytes.size(), wide(), got, error)) << error;
        EXPECT_EQ(got.encode(), bytes);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            EXPECT_FALSE(decodes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut)));
        }
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(decodes(longer));
    }
    const std::vector<NetMessage> messages = everyKind();
    // Ticks outside the window the receiver can believe in.
    EXPECT_FALSE(decodes(messages[2].encode(), {8, 20}));
    EXPECT_FALSE(decodes(messages[3].encode(), {0, 49}));
    NetMessage odd = messages[3];
    odd.tick = 51;
    EXPECT_FALSE(decodes(odd.encode()));

    // A count far beyond what the message holds, an overlong text, a huge message.
    NetMessage emptyHello = messages[0];
    emptyHello.data.clear();
    std::vector<uint8_t> counted = emptyHello.encode();
    counted[counted.size() - 2] = counted[counted.size() - 1] = 0xff;
    EXPECT_FALSE(decodes(counted));
    NetMessage wordy = messages[4];
    wordy.text.assign(NetMessage::MostTextBytes + 1, 'x');
    EXPECT_FALSE(decodes(wordy.encode()));
    EXPECT_FALSE(decodes(std::vector<uint8_t>(NetMessage::MostBytes + 1, 6)));
    EXPECT_FALSE(decodes({}));
    EXPECT_FALSE(decodes({99}));

    // Input the network never carries, or from no device there is.
    for (const InputEvent& event : {InputEvent::credits(0, 3), InputEvent::button(0, 1, true),
                                    InputEvent::key(NetMessage::ControlKeyBase + 16, true), InputEvent::key(-1, true),
                                    InputEvent::axis(NetMessage::SlotJoystickBase, 0, 1.5),
                                    InputEvent::axis(NetMessage::SlotJoystickBase, 0, std::nan("")),
                                    InputEvent::axis(0, 0, 0.5)}) {
        NetMessage input = messages[2];
        input.events = {event};
        EXPECT_FALSE(decodes(input.encode()));
    }
    NetMessage start = messages[1];
    start.levelFile = "../../etc/passwd";
    EXPECT_FALSE(decodes(start.encode()));
}

// A raw peer in the test plays the joiner's part and then sends input out of order.
TEST(NetMessageTest, AHostTellsAPeerThatSendsInputOutOfOrderWhyItsGameEnded) {
    TempDataDir data;
    Settings::instance().setInt("player1Left", 356);
    const int port = 20000 + getpid() % 30000;
    std::vector<NetMessage> heard;
    {
        OnlineSession host({"", port, 3, "level1.dat"});
        EnetLink joiner("127.0.0.1", port);
        const auto exchange = [&](const std::function<bool()>& done) {
            for (int i = 0; i < 5000 && !done(); ++i) {
                host.service();
                for (const EnetLink::Event& event : joiner.poll()) {
                    NetMessage message;
                    std::string error;
                    if (event.kind == EnetLink::Event::Kind::Received &&
                        NetMessage::decode(event.bytes.data(), event.bytes.size(), wide(), message, error) &&
                        message.type != NetMessage::Type::Alive) {
                        heard.push_back(message);
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
        exchange([&] { return joiner.isConnected(); });
        NetMessage hello;
        hello.type = NetMessage::Type::Hello;
        hello.gameVersion = kGameVersion;
        joiner.send(hello.encode());
        exchange([&] { return host.phase() == OnlineSession::Phase::Starting; });
        ASSERT_EQ(host.phase(), OnlineSession::Phase::Starting) << host.endReason();
        EXPECT_NE(Settings::instance().getInt("player1Left"), 356);

        NetMessage input;
        input.type = NetMessage::Type::Input;
        input.tick = 4;  // tick 3 is due first
        joiner.send(input.encode());
        exchange([&] { return host.phase() == OnlineSession::Phase::Ended && heard.size() >= 2; });
        EXPECT_EQ(host.endReason(),
                  "The other player sent a message we cannot read (input for tick 4 where tick 3 was due).");
    }
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].type, NetMessage::Type::Start);
    EXPECT_EQ(heard[1].type, NetMessage::Type::End);
    EXPECT_EQ(heard[1].text, "The other player could not read our message (input for tick 4 where tick 3 was due).");
    // The game's own keys come back with the session gone.
    EXPECT_EQ(Settings::instance().getInt("player1Left"), 356);
}

}  // namespace
