#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "input/Wiimote.h"
#include "input/WiimoteFakeHid.h"

namespace {

using wiim::Wiimote;

class WiimoteTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeHidChannel> channel = std::make_shared<FakeHidChannel>();
    Wiimote remote{1, "/dev/hidraw0", std::make_unique<FakeHidDevice>(channel)};

    void listen() {
        testing::internal::CaptureStdout();
        remote.startListening();
        testing::internal::GetCapturedStdout();
    }
    void handle(const std::vector<Bytes>& reports) {
        for (const Bytes& report : reports) {
            channel->send(report);
        }
        ASSERT_TRUE(channel->settle());
    }
};

TEST_F(WiimoteTest, ButtonReportsLightTheRemoteAndRumbleWhileHeld) {
    listen();
    testing::internal::CaptureStdout();
    handle({{0x30, 0x00, 0x08}, {0x30, 0x00, 0x08}, {0x30, 0x00, 0x00}});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Button pressed: AButton pressed: AButton released: A");
    const std::vector<Bytes> written = channel->written();
    ASSERT_EQ(written.size(), 7u);  // the LEDs switched off when listening started, then the reactions
    EXPECT_EQ(written[1], (Bytes{0x11, 0x50}));
    EXPECT_EQ(written[2], (Bytes{0x13, 0x01}));
    EXPECT_EQ(written[5], (Bytes{0x11, 0x00}));
    EXPECT_EQ(written[6], (Bytes{0x13, 0x00}));
}

TEST_F(WiimoteTest, FailedWritesOnTheReaderThreadAreDropped) {
    listen();
    channel->failWrites();
    testing::internal::CaptureStdout();
    handle({{0x30, 0x08, 0x08}, {0x31, 0x08, 0x00, 128, 128, 128}});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Button pressed: AButton pressed: Up");
    EXPECT_TRUE(remote.button("Up").held);
    EXPECT_FALSE(remote.button("A").held);
    EXPECT_TRUE(remote.isListening());
}

TEST_F(WiimoteTest, AccelerationAndCalibrationAreShiftedByHalfTheRange) {
    listen();
    handle({{0x31, 0x00, 0x00, 128, 0, 255},
            {0x21, 0, 0, 0xF0, 0, 0x16, 130, 126, 129, 0, 154, 155, 156}});
    EXPECT_EQ(remote.acceleration(), (Wiimote::Acceleration{0, -128, 127}));
    EXPECT_EQ(remote.calibrationZero(), (Wiimote::Acceleration{2, -2, 1}));
    EXPECT_EQ(remote.calibrationOneG(), (Wiimote::Acceleration{26, 27, 28}));
}

TEST_F(WiimoteTest, DamagedReportsChangeNothingAndNeverStopTheReader) {
    listen();
    handle({{0x31, 0x00, 0x00, 128, 128, 128}});
    testing::internal::CaptureStdout();
    handle({{0x31, 0x08, 0x00, 0, 0}, {0x30, 0x08}, {0x21, 0, 0, 0, 0, 0, 1, 2, 3, 0, 4, 5}, {0x31}, {0x22, 0xFF, 0xFF}});
    EXPECT_EQ(remote.acceleration(), (Wiimote::Acceleration{0, 0, 0}));
    EXPECT_FALSE(remote.button("Up").held);
    EXPECT_EQ(remote.calibrationZero(), (Wiimote::Acceleration{0, 0, 0}));

    std::srand(7);
    std::vector<Bytes> garbage;
    for (int i = 0; i < 2000; ++i) {
        Bytes report(std::rand() % 300);
        for (unsigned char& byte : report) {
            byte = static_cast<unsigned char>(std::rand());
        }
        const unsigned char knownIds[] = {0x21, 0x30, 0x31};
        if (!report.empty() && i % 2 == 0) {
            report[0] = knownIds[i % 3];
        }
        garbage.push_back(report);
    }
    handle(garbage);
    handle({{0x31, 0x01, 0x00, 128, 128, 128}});
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(remote.button("Left").held);
    EXPECT_FALSE(remote.button("Up").held);
    EXPECT_TRUE(remote.isListening());
}

TEST_F(WiimoteTest, CloseStopsTheReaderWithinOneReadAndLetsGoOfTheDevice) {
    listen();
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    remote.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Stopped listening: 1");
    const int reads = channel->reads();
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    EXPECT_EQ(channel->reads(), reads);
    EXPECT_THROW(remote.setRumble(false), std::runtime_error);
}

}  // namespace
