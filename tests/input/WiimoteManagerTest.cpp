#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/Game.h"
#include "core/Settings.h"
#include "input/WiimoteFakeHid.h"
#include "input/WiimoteManager.h"
#include "support/TempDataDir.h"

namespace {

std::string event(int button, bool down) {
    return "Joystick Button [joystick=0, button=" + std::to_string(button) + ", down=" + (down ? "true]\n" : "false]\n");
}
const std::string still = event(1, false);  // the shake button, released on every tick

class WiimoteManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance().setInt("joystickPlayer1", 0);
        Settings::instance().setInt("joystickPlayer1ButtonUp", 15);
        Game::instance().keyboard(268, 0, true, 0);  // joystick debugging, to see every event
    }
    std::string connect() {
        testing::internal::CaptureStdout();
        manager->findAndConnect();
        return testing::internal::GetCapturedStdout();
    }
    // One tick after the remote has sent these reports; returns the events it produced.
    std::string tick(const std::vector<Bytes>& reports = {}) {
        for (const Bytes& report : reports) {
            first->send(report);
        }
        EXPECT_TRUE(reports.empty() || first->settle());
        testing::internal::CaptureStdout();
        manager->poll();
        return testing::internal::GetCapturedStdout();
    }
    static Bytes report(unsigned char high, unsigned char low, unsigned char z = 128, unsigned char xy = 128) {
        return {0x31, high, low, xy, xy, z};
    }

    TempDataDir dir;
    std::unique_ptr<FakeHidBus> ownedBus = std::make_unique<FakeHidBus>();
    FakeHidBus* bus = ownedBus.get();
    std::shared_ptr<FakeHidChannel> first = bus->add("/dev/hidraw3");
    std::unique_ptr<WiimoteManager> manager = std::make_unique<WiimoteManager>(std::move(ownedBus));
};

// Every debug line, the reader thread's too, is a line of its own.
TEST_F(WiimoteManagerTest, TwoRemotesAreFoundAndOnlyTheFirstIsConnectedPolledAndLogged) {
    bus->add("/dev/hidraw3");
    const std::shared_ptr<FakeHidChannel> second = bus->add("/dev/hidraw5");
    EXPECT_THAT(connect(), testing::MatchesRegex("Wiimotes = 2\nStarted listening: 1\nCreated thread: [0-9]+\n"));
    ASSERT_EQ(manager->getRemotes().size(), 2u);
    EXPECT_EQ(manager->getRemotes()[1]->getPath(), "/dev/hidraw5");
    const std::vector<Bytes> setUp{{0x11, 0x10}, {0x11, 0x00}, {0x17, 0, 0, 0, 0x16, 0, 0x0F}, {0x12, 0x00, 0x31}};
    EXPECT_EQ(first->written(), setUp);
    testing::internal::CaptureStdout();
    first->send({0x30, 0x08, 0x00});
    first->send({0x30, 0x00, 0x00});
    EXPECT_TRUE(first->settle());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Button pressed: Up\nButton released: Up\n");
    second->send(report(0x08, 0));
    EXPECT_EQ(tick(), still);
    EXPECT_TRUE(second->written().empty());
    EXPECT_EQ(second->reads, 0);
}

TEST_F(WiimoteManagerTest, HoldingUpPressesOnceAndReleasesOnceAndShakeIsButtonOneEveryTick) {
    connect();
    EXPECT_EQ(tick({report(0x08, 0)}), event(15, true) + still);
    EXPECT_TRUE(Game::instance().isControlHeld(2));
    for (const std::vector<Bytes>& stillHeld : {std::vector<Bytes>{}, {report(0x08, 0)}, {}}) {
        EXPECT_EQ(tick(stillHeld), still);
    }
    EXPECT_EQ(tick({report(0, 0)}), event(15, false) + still);
    EXPECT_FALSE(Game::instance().isControlHeld(2));
    EXPECT_EQ(tick(), still);
    // (128, 128, 74) is just past a magnitude of 2, (128, 128, 75) just short of it.
    EXPECT_EQ(tick({report(0, 0, 74)}), event(1, true));
    EXPECT_EQ(tick({report(0, 0, 75)}), still);
    EXPECT_EQ(tick({report(0, 0, 0, 0)}), event(1, true));
    EXPECT_EQ(tick(), event(1, true));
}

TEST_F(WiimoteManagerTest, EveryButtonHeldNeverReachesSlotsSevenToEleven) {
    connect();
    std::string expected;
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 12, 13, 14, 15}) {
        expected += event(slot, true);
    }
    EXPECT_EQ(tick({report(0xFF, 0xFF)}), expected + still);  // "A" shares its slot with the shake
}

TEST_F(WiimoteManagerTest, DamagedReportsChangeNothingAndCloseStopsTheReader) {
    connect();
    EXPECT_EQ(tick({{0x31, 0x08, 0x00, 0, 0}, {0x30, 0x08}, {0x31}, {0x22, 0xFF}}), still);
    std::vector<Bytes> garbage;
    for (unsigned char id : {0x21, 0x30, 0x31, 0x00, 0xFF}) {
        for (std::size_t length = 1; length < 300; ++length) {
            garbage.emplace_back(length, 0xA5).front() = id;
        }
    }
    tick(garbage);
    tick({report(0x01, 0x00)});
    wiim::Wiimote& remote = *manager->getRemotes()[0];
    EXPECT_TRUE(remote.button("Left").held && !remote.button("Up").held && remote.isListening());

    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    remote.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Stopped listening: 1\n");
    const int reads = first->reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    EXPECT_EQ(first->reads, reads);
}

TEST_F(WiimoteManagerTest, AReadErrorDropsTheRemoteForGoodAndLetsGoOfItsButtons) {
    connect();
    tick({report(0x08, 0)});
    first->readsFail = true;
    testing::internal::CaptureStderr();
    std::string output;
    for (int attempt = 0; attempt < 300 && manager->hasRemotes(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        output += tick();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error accessing Wiimote: Couldn't read from the device.\n");
    EXPECT_THAT(output, testing::EndsWith("Stopped listening: 1\n" + event(15, false)));
    EXPECT_FALSE(Game::instance().isControlHeld(2) || manager->hasRemotes());
}

TEST_F(WiimoteManagerTest, AFailedWriteLeavesTheRemotePolledAndNoRemoteIsSaidSo) {
    first->writesFail = true;
    EXPECT_EQ(connect(), "Wiimotes = 1\nCouldn't connect to Wiimote: Couldn't write to the device.\n");
    EXPECT_EQ(tick(), still);
    manager = std::make_unique<WiimoteManager>();  // the system's own devices, where no remote is present
    EXPECT_EQ(connect(), "Wiimotes = 0\n");
    EXPECT_FALSE(manager->hasRemotes());
}

}  // namespace
