#include <gtest/gtest.h>

#include "arcade/CoinClient.h"
#include "arcade/FakeCoinServer.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "render/HealthBar.h"
#include "support/TempDataDir.h"

namespace {

class CoinClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance().clear();
        Settings::instance().setString("coin_host", "127.0.0.1");
        Settings::instance().setString("coin_port", server.port());
    }
    FakeCoinServer server;
};

TEST_F(CoinClientTest, WithoutAPortNothingHappens) {
    Settings::instance().setString("coin_port", "");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    CoinClient client;
    client.poll();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(client.isConnected());
    EXPECT_EQ(client.getCredits(), 0);
}

TEST_F(CoinClientTest, ConnectsAndSaysSo) {
    testing::internal::CaptureStdout();
    CoinClient client;
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(client.isConnected());
    EXPECT_EQ(said, "Trying to connect to coin server.\n\thost: 127.0.0.1\n\tport: " + server.port() +
                        "\nReady to talk to coin server!\n");
}

TEST_F(CoinClientTest, TheLastByteOfTheAnswerIsAnUnsignedCount) {
    CoinClient client;
    server.setAnswer([](int) { return std::string("\x07\x03"); });
    client.poll();
    EXPECT_EQ(client.getCredits(), 3);
    server.setAnswer([](int) { return std::string(1, static_cast<char>(200)); });
    client.poll();
    EXPECT_EQ(client.getCredits(), 200);
}

TEST_F(CoinClientTest, UsingACoinTellsTheServerAndAsksAgain) {
    server.setCredits(2);
    CoinClient client;
    client.poll();
    ASSERT_EQ(client.getCredits(), 2);
    client.useCoin();
    EXPECT_EQ(client.getCredits(), 1);
    EXPECT_EQ(server.received(), "QUQ");
}

TEST_F(CoinClientTest, UsingACoinWithNoneComplainsButStillSends) {
    CoinClient client;
    testing::internal::CaptureStderr();
    client.useCoin();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Using a coin when we have none!\n");
    EXPECT_EQ(server.received(), "UQ");
}

TEST_F(CoinClientTest, ASilentServerMeansNoCredits) {
    server.setCredits(5);
    CoinClient client;
    client.poll();
    ASSERT_EQ(client.getCredits(), 5);
    server.setSilent(true);
    client.poll();
    EXPECT_EQ(client.getCredits(), 0);
}

TEST_F(CoinClientTest, AnUnresolvableHostLeavesTheClientUnconnected) {
    Settings::instance().setString("coin_host", "no.such.host.invalid");
    testing::internal::CaptureStderr();
    CoinClient client;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "getaddrinfo failed\n");
    EXPECT_FALSE(client.isConnected());
}

class ArcadeCreditsTest : public CoinClientTest {
protected:
    void SetUp() override {
        CoinClientTest::SetUp();
        Settings& s = Settings::instance();
        s.setInt("arcade", 1);
        s.setInt("player1Start", '1');
        s.setInt("player2Start", '2');
        s.setFloat("z_offset", 25.0f);
        dir.write("levels/level1.dat", "end 100000\n");
    }
    Game& game() { return Game::instance(); }
    void press(int key) {
        game().keyboard(key, 0, true, 0);
        game().keyboard(key, 0, false, 0);
    }
    TempDataDir dir;
};

TEST_F(ArcadeCreditsTest, StartWithACreditBeginsAGameAndSpendsIt) {
    server.setCredits(2);
    game().showMainMenu();
    game().update(20);
    ASSERT_EQ(game().getCoinClient()->getCredits(), 2);
    press('2');
    EXPECT_FALSE(game().isAttract());
    EXPECT_EQ(game().getPlayer1(), nullptr);
    ASSERT_NE(game().getPlayer2(), nullptr);
    EXPECT_EQ(game().getPlayer2()->getHealthBar()->slot, 1);
    EXPECT_EQ(server.getCredits(), 1);
}

TEST_F(ArcadeCreditsTest, JoiningMidGameAndRespawning) {
    server.setCredits(3);
    game().startGame(true, false, "level1.dat");
    game().update(20);
    press('2');
    Player* second = game().getPlayer2();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->position, Vec3(0, 0, 0));
    EXPECT_EQ(second->getColor(), Color(0.3, 0, 0, 1));
    EXPECT_EQ(second->getHealthBar()->slot, 1);
    EXPECT_EQ(server.getCredits(), 2);

    Player* first = game().getPlayer1();
    first->takeDamage(1000.0f);
    ASSERT_TRUE(first->isDead());
    press('1');
    EXPECT_EQ(game().getPlayer1(), first) << "a dead player is revived, not replaced";
    EXPECT_FALSE(first->isDead());
    EXPECT_FLOAT_EQ(first->getHealth(), 300.0f);
    EXPECT_EQ(server.getCredits(), 1);

    press('1');
    EXPECT_EQ(server.getCredits(), 1) << "a living player's Start costs nothing";
}

}  // namespace
