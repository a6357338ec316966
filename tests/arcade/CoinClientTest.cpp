#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "arcade/CoinClient.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "render/HealthBar.h"
#include "support/TempDataDir.h"

namespace {

// A real UDP coin server on 127.0.0.1. It answers every "Q" with a 7 and then the count,
// so only a client that takes the last byte gets it right; it answers nothing while
// silent, answers `lateBy` milliseconds after the question (with the count when it was
// asked, as a busy server would), and spends a credit on every "U".
class CoinServer {
public:
    CoinServer() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        const timeval wait{0, 1000};
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) != 0) {
            throw std::runtime_error("cannot serve UDP on 127.0.0.1");
        }
        port = std::to_string(ntohs(address.sin_port));
        worker = std::thread([this] { serve(); });
    }
    ~CoinServer() {
        running = false;
        worker.join();
        close(fd);
    }

    std::string received() const {
        const std::lock_guard<std::mutex> guard(lock);
        return log;
    }
    // What arrived once at least `length` datagrams are in (the server's thread may lag).
    std::string received(std::size_t length) const {
        for (int wait = 0; wait < 1000 && received().size() < length; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return received();
    }
    // The server's count once it is `wanted`, or what it is after a second.
    int creditsBecome(int wanted) const {
        for (int wait = 0; wait < 1000 && credits != wanted; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return credits;
    }

    std::string port;
    std::atomic<int> credits{0};
    std::atomic<bool> silent{false};
    std::atomic<int> lateBy{0};

private:
    using Clock = std::chrono::steady_clock;
    struct Answer {
        Clock::time_point due;
        sockaddr_in to;
        char count;
    };

    void serve() {
        std::deque<Answer> answers;
        while (running) {
            while (!answers.empty() && answers.front().due <= Clock::now()) {
                const char reply[2] = {7, answers.front().count};
                sendto(fd, reply, 2, 0, reinterpret_cast<const sockaddr*>(&answers.front().to), sizeof(sockaddr_in));
                answers.pop_front();
            }
            char datagram[64];
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            if (recvfrom(fd, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&from), &fromLength) != 1) {
                continue;
            }
            const std::lock_guard<std::mutex> guard(lock);
            log += datagram[0];
            if (datagram[0] == 'U' && credits > 0) --credits;
            if (datagram[0] == 'Q' && !silent) {
                answers.push_back({Clock::now() + std::chrono::milliseconds(lateBy), from, static_cast<char>(credits)});
            }
        }
    }

    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    std::atomic<bool> running{true};
    mutable std::mutex lock;
    std::string log;
    std::thread worker;
};

class CoinClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::instance().setString("coin_host", "127.0.0.1");
        Settings::instance().setString("coin_port", server.port);
    }
    CoinServer server;
};

class ArcadeCreditsTest : public CoinClientTest {
protected:
    void SetUp() override {
        CoinClientTest::SetUp();
        Settings::instance().setInt("arcade", 1);
        Settings::instance().setInt("player1Start", '1');
        Settings::instance().setInt("player2Start", '2');
        Settings::instance().setFloat("z_offset", 25.0f);
        dir.write("levels/level1.dat", "end 100000\n");
    }
    Game& game() { return Game::instance(); }
    void press(int key) {
        game().keyboard(key, 0, true, 0);
        game().keyboard(key, 0, false, 0);
    }
    // One tick of the game, at the game's pace.
    void tick() {
        game().update(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Ticks until the game's count is `wanted`, or for two seconds.
    int ticksUntilCredits(int wanted) {
        for (int ticks = 0; ticks < 100 && game().getCoinClient()->getCredits() != wanted; ++ticks) tick();
        return game().getCoinClient()->getCredits();
    }
    TempDataDir dir;
};

// On a loaded machine the server's thread may miss a poll's short wait; the client then
// reads that late answer on a later poll, so a few polls are allowed to settle.
int pollUntil(CoinClient& client, int wanted) {
    for (int poll = 0; poll < 100 && client.getCredits() != wanted; ++poll) client.poll();
    return client.getCredits();
}

}  // namespace

TEST_F(CoinClientTest, WithoutAPortOrAKnownHostNothingHappens) {
    Settings::instance().setString("coin_port", "");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    CoinClient unconfigured;
    unconfigured.poll();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(unconfigured.isConnected());
    EXPECT_EQ(unconfigured.getCredits(), 0);

    Settings::instance().setString("coin_port", server.port);
    Settings::instance().setString("coin_host", "no.such.host.invalid");
    testing::internal::CaptureStderr();
    CoinClient unresolved;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "getaddrinfo failed\n");
    EXPECT_FALSE(unresolved.isConnected());
}

TEST_F(CoinClientTest, TheLastByteOfTheAnswerIsAnUnsignedCountAndSilenceMeansNone) {
    CoinClient client;
    server.credits = 3;
    EXPECT_EQ(pollUntil(client, 3), 3);
    server.credits = 200;
    EXPECT_EQ(pollUntil(client, 200), 200);
    server.silent = true;
    EXPECT_EQ(pollUntil(client, 0), 0);
}

TEST_F(CoinClientTest, UsingACoinSendsUThenAsksAgainEvenWithNoneLeft) {
    server.credits = 1;
    CoinClient client;
    ASSERT_EQ(pollUntil(client, 1), 1);
    const std::string asked = server.received();
    client.useCoin();
    EXPECT_EQ(client.getCredits(), 0);
    EXPECT_EQ(server.received(asked.size() + 2), asked + "UQ");
    testing::internal::CaptureStderr();
    client.useCoin();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Using a coin when we have none!\n");
    EXPECT_EQ(server.received(asked.size() + 4), asked + "UQUQ");
}

// A broken attract-loop file (missing, then without a slide) is tried once, not every
// tick, and the loop still takes a Start.
TEST_F(ArcadeCreditsTest, StartWithACreditBeginsAGameAndSpendsIt) {
    server.credits = 2;
    for (const char* arcadeFile : {"", "texture slide slide.png\n"}) {
        if (*arcadeFile != '\0') dir.write("cutscenes/arcade.dat", arcadeFile);
        testing::internal::CaptureStdout();
        game().showMainMenu();
        for (int tick = 0; tick < 50; ++tick) game().update(20);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(said.find("cutscenes/arcade.dat"), said.rfind("cutscenes/arcade.dat")) << said;
        EXPECT_TRUE(game().isAttract());
    }
    ASSERT_EQ(ticksUntilCredits(2), 2);
    press('2');
    EXPECT_FALSE(game().isAttract());
    EXPECT_EQ(game().getPlayer1(), nullptr);
    ASSERT_NE(game().getPlayer2(), nullptr);
    EXPECT_EQ(game().getPlayer2()->getHealthBar()->slot, 1);
    EXPECT_EQ(server.creditsBecome(1), 1);
}

TEST_F(ArcadeCreditsTest, JoiningMidGameAndRespawning) {
    server.credits = 3;
    game().startGame(true, false, "level1.dat");
    ASSERT_EQ(ticksUntilCredits(3), 3);
    press('2');
    Player* second = game().getPlayer2();
    ASSERT_NE(second, nullptr);
    // Beside and a little behind (or before) the first, clear of its body.
    const Vec3 apart = second->position - game().getPlayer1()->position;
    EXPECT_GE(std::abs(apart.x), 2.0);
    EXPECT_GE(std::abs(apart.z), 2.0);
    EXPECT_EQ(second->getColor(), Color(0.3, 0, 0, 1));
    EXPECT_EQ(second->getHealthBar()->slot, 1);
    EXPECT_EQ(server.creditsBecome(2), 2);

    Player* first = game().getPlayer1();
    first->takeDamage(1000.0f);
    ASSERT_TRUE(first->isDead());
    press('1');
    EXPECT_EQ(game().getPlayer1(), first) << "a dead player is revived, not replaced";
    EXPECT_FALSE(first->isDead());
    EXPECT_FLOAT_EQ(first->getHealth(), 300.0f);
    EXPECT_EQ(server.creditsBecome(1), 1);
    press('1');
    tick();
    const std::string received = server.received();
    EXPECT_EQ(std::count(received.begin(), received.end(), 'U'), 2) << "a living player's Start costs nothing";
}

// A server answering after the tick's poll (busy, far away, or stalled for a while) must
// neither show no credits between its answers nor let a count from before a "U" pay for
// a second player.
TEST_F(ArcadeCreditsTest, ALateServerKeepsTheCountButNeverSellsOneCreditTwice) {
    server.lateBy = 45;
    server.credits = 1;
    game().showMainMenu();
    ASSERT_EQ(ticksUntilCredits(1), 1);
    server.lateBy = 300;
    for (int ticks = 0; ticks < 20; ++ticks) {
        tick();
        ASSERT_EQ(game().getCoinClient()->getCredits(), 1) << "after " << ticks << " ticks";
    }
    press('1');
    ASSERT_NE(game().getPlayer1(), nullptr);
    for (int ticks = 0; ticks < 20; ++ticks) {
        press('2');
        EXPECT_EQ(game().getPlayer2(), nullptr) << "joined for nothing after " << ticks << " ticks";
        tick();
    }
    EXPECT_EQ(server.credits, 0);
}
