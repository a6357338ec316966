#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/Game.h"
#include "core/Settings.h"
#include "input/WiimoteFakeHid.h"
#include "input/WiimoteManager.h"
#include "support/TempDataDir.h"

namespace {

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

std::string event(int button, bool down) {
    return "Joystick Button [joystick=0, button=" + std::to_string(button) + ", down=" + (down ? "true" : "false") + "]";
}

class WiimoteManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance().setInt("joystickPlayer1", 0);
        Settings::instance().setInt("joystickPlayer1ButtonUp", 15);
        Game::instance().keyboard(268, 0, true, 0);  // joystick debugging, to see every event
        Game::instance().keyboard(268, 0, false, 0);
    }
    void connect() {
        testing::internal::CaptureStdout();
        manager->findAndConnect();
        connectOutput = testing::internal::GetCapturedStdout();
    }
    // One tick after the remote has sent these reports; returns the events it produced.
    std::string tick(const std::vector<Bytes>& reports = {}) {
        for (const Bytes& report : reports) {
            first->send(report);
        }
        if (!reports.empty()) {
            EXPECT_TRUE(first->settle());
        }
        testing::internal::CaptureStdout();
        manager->poll();
        return testing::internal::GetCapturedStdout();
    }
    static Bytes buttons(unsigned char high, unsigned char low) { return {0x31, high, low, 128, 128, 128}; }
    static Bytes tilt(unsigned char x, unsigned char y, unsigned char z) { return {0x31, 0, 0, x, y, z}; }

    TempDataDir dir;
    std::unique_ptr<FakeHidBus> ownedBus = std::make_unique<FakeHidBus>();
    FakeHidBus* bus = ownedBus.get();
    std::shared_ptr<FakeHidChannel> first = bus->add("/dev/hidraw3");
    std::unique_ptr<WiimoteManager> manager = std::make_unique<WiimoteManager>(std::move(ownedBus));
    std::string connectOutput;
};

TEST_F(WiimoteManagerTest, TwoRemotesAreFoundAndOnlyTheFirstIsConnected) {
    bus->add("/dev/hidraw3");
    const std::shared_ptr<FakeHidChannel> second = bus->add("/dev/hidraw5");
    connect();
    const std::string expected = "Wiimotes = 2\nStarted listening: 1Created thread: ";
    ASSERT_EQ(connectOutput.substr(0, expected.size()), expected);
    const std::string threadId = connectOutput.substr(expected.size());
    EXPECT_TRUE(!threadId.empty() && threadId.find_first_not_of("0123456789") == std::string::npos) << threadId;
    ASSERT_EQ(manager->getRemotes().size(), 2u);
    EXPECT_EQ(manager->getRemotes()[1]->getNumber(), 2);
    EXPECT_EQ(manager->getRemotes()[1]->getPath(), "/dev/hidraw5");
    EXPECT_EQ(first->written(), (std::vector<Bytes>{{0x11, 0x10},
                                                    {0x11, 0x00},
                                                    {0x17, 0x00, 0x00, 0x00, 0x16, 0x00, 0x0F},
                                                    {0x12, 0x00, 0x31}}));
    EXPECT_TRUE(second->written().empty());
    second->send(buttons(0x08, 0));
    EXPECT_EQ(count(tick(), event(15, true)), 0);
    EXPECT_EQ(second->reads(), 0);
}

TEST_F(WiimoteManagerTest, HoldingUpPressesOnceAndReleasesOnce) {
    connect();
    EXPECT_EQ(count(tick({buttons(0x08, 0)}), event(15, true)), 1);
    EXPECT_TRUE(Game::instance().isControlHeld(2));
    for (const std::vector<Bytes>& stillHeld : {std::vector<Bytes>{}, {buttons(0x08, 0)}, {}}) {
        EXPECT_EQ(count(tick(stillHeld), "button=15"), 0);
    }
    const std::string released = tick({buttons(0, 0)});
    EXPECT_EQ(count(released, event(15, false)), 1);
    EXPECT_FALSE(Game::instance().isControlHeld(2));
    EXPECT_EQ(count(tick(), "button=15"), 0);
}

TEST_F(WiimoteManagerTest, ShakeIsReportedAsButtonOneOnEveryTick) {
    connect();
    EXPECT_EQ(tick({tilt(128, 128, 128)}), event(1, false) + "\n");
    EXPECT_EQ(tick(), event(1, false) + "\n");
    // (128, 128, 74) is just past a magnitude of 2, (128, 128, 75) just short of it.
    EXPECT_EQ(tick({tilt(128, 128, 74)}), event(1, true) + "\n");
    EXPECT_EQ(tick({tilt(128, 128, 75)}), event(1, false) + "\n");
    EXPECT_EQ(tick({tilt(0, 0, 0)}), event(1, true) + "\n");
    EXPECT_EQ(tick(), event(1, true) + "\n");
}

TEST_F(WiimoteManagerTest, EveryButtonHeldNeverReachesSlotsSevenToEleven) {
    connect();
    const std::string pressed = tick({buttons(0xFF, 0xFF)});
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 12, 13, 14, 15}) {
        EXPECT_EQ(count(pressed, event(slot, true)), 1) << slot;
    }
    for (int slot = 7; slot <= 11; ++slot) {
        EXPECT_EQ(count(pressed, "button=" + std::to_string(slot) + ","), 0) << slot;
    }
    EXPECT_EQ(count(pressed, event(1, false)), 1);  // "A" shares its slot with the shake
}

TEST_F(WiimoteManagerTest, AReadErrorDropsTheRemoteForGoodAndLetsGoOfItsButtons) {
    connect();
    tick({buttons(0x08, 0)});
    first->failReads();
    testing::internal::CaptureStderr();
    std::string output;
    for (int attempt = 0; attempt < 300 && manager->hasRemotes(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        output += tick();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error accessing Wiimote: Couldn't read from the device.\n");
    EXPECT_NE(output.find("Stopped listening: 1"), std::string::npos);
    EXPECT_EQ(count(output, event(15, false)), 1);
    EXPECT_FALSE(Game::instance().isControlHeld(2));
    EXPECT_FALSE(manager->hasRemotes());
}

TEST_F(WiimoteManagerTest, AFailedWriteDuringConnectionLeavesTheRemotePolled) {
    first->failWrites();
    connect();
    EXPECT_EQ(connectOutput, "Wiimotes = 1\nCouldn't connect to Wiimote: Couldn't write to the device.\n");
    EXPECT_TRUE(manager->hasRemotes());
    EXPECT_EQ(tick(), event(1, false) + "\n");
}

TEST_F(WiimoteManagerTest, AnUnopenableRemoteCannotBeConnected) {
    auto unopenable = std::make_unique<FakeHidBus>();
    unopenable->add("/dev/hidraw1", false);
    manager = std::make_unique<WiimoteManager>(std::move(unopenable));
    connect();
    EXPECT_EQ(connectOutput, "Wiimotes = 1\nCouldn't connect to Wiimote: Couldn't write to the device.\n");
}

TEST(WiimoteSearchTest, NoRemotePresent) {
    WiimoteManager manager;
    testing::internal::CaptureStdout();
    manager.findAndConnect();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wiimotes = 0\n");
    EXPECT_FALSE(manager.hasRemotes());
}

}  // namespace
