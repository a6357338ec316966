// Every message survives the trip through bytes; damaged, oversized and out-of-window
// messages are refused with a reason (what a peer's refused message does to the game
// is in HostilePeerTest).
#include <gtest/gtest.h>

#include <cmath>

#include "net/NetMessage.h"

namespace {

NetMessage::TickWindow wide() { return {0, 1000}; }

std::vector<NetMessage> everyKind() {
    std::vector<NetMessage> messages(9);
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
    // Rollback play's greeting and start carry the depth; its input comes in runs.
    messages[6] = messages[0];
    messages[6].protocol = NetMessage::RollbackProtocol;
    messages[6].rollback = 8;
    messages[7] = messages[1];
    messages[7].rollback = 30;
    messages[8].type = NetMessage::Type::Inputs;
    messages[8].tick = 40;
    messages[8].ticks = {{}, messages[2].events, {InputEvent::key(32, true)}};
    messages[8].acknowledged = 38;
    messages[8].runningTick = 41;
    messages[8].lead = -3;
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

    // A run of input reaching beyond the window, or a tick of play there; depths
    // beyond the most there is.
    EXPECT_FALSE(decodes(messages[8].encode(), {0, 41}));
    NetMessage racing = messages[8];
    racing.runningTick = 1001;
    EXPECT_FALSE(decodes(racing.encode()));
    for (const std::size_t which : {6, 7}) {
        NetMessage deep = messages[which];
        deep.rollback = NetMessage::MostRollback + 1;
        EXPECT_FALSE(decodes(deep.encode())) << which;
    }

    // A count far beyond what the message holds, an overlong text, a huge message.
    NetMessage emptyHello = messages[0];
    emptyHello.data.clear();
    std::vector<uint8_t> counted = emptyHello.encode();
    counted[counted.size() - 2] = counted[counted.size() - 1] = 0xff;
    EXPECT_FALSE(decodes(counted));
    NetMessage wordy = messages[4];
    wordy.text.assign(NetMessage::MostTextBytes + 1, 'x');
    EXPECT_FALSE(decodes(wordy.encode()));
    // Sixteen key changes in one 20 ms tick are beyond anyone's hands.
    NetMessage burst = messages[2];
    burst.events.assign(16, InputEvent::key(27, true));
    EXPECT_FALSE(decodes(burst.encode()));
    NetMessage burstInRun = messages[8];
    burstInRun.ticks[1] = burst.events;
    EXPECT_FALSE(decodes(burstInRun.encode()));
    NetMessage longRun = messages[8];
    longRun.tick = 0;
    longRun.ticks.resize(NetMessage::MostInputTicks + 1);
    EXPECT_FALSE(decodes(longRun.encode()));

    // A control character in any text, where the other side might print it.
    for (const std::size_t which : {0, 1, 3, 4}) {
        NetMessage sly = messages[which];
        std::string& text = which == 0 ? sly.data[0].name : which == 1 ? sly.settings[1] : sly.text;
        text += which == 0 ? "\x1b[2J" : "\x7f";
        EXPECT_FALSE(decodes(sly.encode())) << which;
    }
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
        NetMessage run = messages[8];
        run.ticks[0] = {event};
        EXPECT_FALSE(decodes(run.encode()));
    }
    NetMessage start = messages[1];
    start.levelFile = "../../etc/passwd";
    EXPECT_FALSE(decodes(start.encode()));
}

}  // namespace
