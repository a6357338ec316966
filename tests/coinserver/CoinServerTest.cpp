#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "StateFile.h"
#include "arcade/CoinClient.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int count(const std::string& text, const std::string& what) {
    int found = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
    return found;
}

// A free UDP port on 127.0.0.1, found by letting the system pick one.
int freePort() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

// The real margin-coin-server, its state and log in a folder of its own; standard input
// is a pipe the test writes coins into, or /dev/null.
class ServerProcess {
public:
    ServerProcess(const std::string& folder, int port, bool inputPipe, const std::string& allow = "")
        : folder(folder) {
        int pipeEnds[2] = {-1, -1};
        if (inputPipe && pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(inputPipe ? pipeEnds[0] : open("/dev/null", O_RDONLY), STDIN_FILENO);
            dup2(open((folder + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644), STDERR_FILENO);
            dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
            const std::string portText = std::to_string(port), state = folder + "/credits",
                              log = folder + "/audit.log";
            if (allow.empty()) {
                execl(MB_COIN_SERVER, MB_COIN_SERVER, "--port", portText.c_str(), "--state", state.c_str(), "--log",
                      log.c_str(), nullptr);
            }
            execl(MB_COIN_SERVER, MB_COIN_SERVER, "--port", portText.c_str(), "--state", state.c_str(), "--log",
                  log.c_str(), "--allow", allow.c_str(), nullptr);
            _exit(127);
        }
        if (inputPipe) {
            close(pipeEnds[0]);
            input = pipeEnds[1];
        }
        const int starts = count(log(), " started on ");
        if (!waitFor([&] { return count(log(), " started on ") > starts; })) ADD_FAILURE() << errors();
    }
    ~ServerProcess() { stop(SIGTERM); }

    std::string log() const { return readFile(folder + "/audit.log"); }
    std::string errors() const { return readFile(folder + "/stderr.txt"); }
    void write(const std::string& lines) const { ASSERT_EQ(::write(input, lines.data(), lines.size()), ssize_t(lines.size())); }
    void signal(int number) const { kill(pid, number); }
    // Answers the exit status, or the signal number plus 128.
    int stop(int number) {
        if (pid <= 0) return -1;
        kill(pid, number);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        if (input >= 0) close(input);
        input = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    std::string folder;
    pid_t pid = -1;
    int input = -1;
};

// A cabinet talking to the server from a given loopback address.
class Cabinet {
public:
    Cabinet(int port, const char* from = "127.0.0.1") {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        inet_pton(AF_INET, from, &address.sin_addr);
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        address.sin_port = htons(static_cast<uint16_t>(port));
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        const timeval wait{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    ~Cabinet() { close(fd); }
    // The count the server answers, or -1 for silence.
    int credits() const {
        unsigned char answer = 0;
        while (recv(fd, &answer, 1, MSG_DONTWAIT) == 1) {
            // An answer that came after its question was given up on.
        }
        send(fd, "Q", 1, 0);
        return recv(fd, &answer, 1, 0) == 1 ? answer : -1;
    }
    void use() const { send(fd, "U", 1, 0); }
    bool seesCredits(int wanted) const {
        return waitFor([&] { return credits() == wanted; });
    }

private:
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
};

class CoinServerTest : public ::testing::Test {
protected:
    std::string folder = fs::temp_directory_path() / ("coin-server-" + std::to_string(getpid()));
    int port = freePort();
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }
};

}  // namespace

TEST_F(CoinServerTest, ServesWithItsInputClosedAndNeverGoesBelowNothing) {
    ServerProcess server(folder, port, false);
    const Cabinet cabinet(port);
    EXPECT_EQ(cabinet.credits(), 0);
    server.signal(SIGUSR1);
    ASSERT_TRUE(cabinet.seesCredits(1));
    cabinet.use();
    cabinet.use();
    EXPECT_EQ(cabinet.credits(), 0);
    const std::string log = server.log();
    EXPECT_NE(log.find("Z coin inserted (signal), credits 1\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Z credit used by 127.0.0.1, credits 0\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Z credit refused to 127.0.0.1: none left, credits 0\n"), std::string::npos) << log;
    EXPECT_EQ(server.stop(SIGTERM), 0);
    EXPECT_EQ(readFile(folder + "/credits"), "credits 0\n");
}

TEST_F(CoinServerTest, AKilledServerKeepsEveryLoggedCoinAndARestartKeepsTheCount) {
    int logged = 0;
    {
        ServerProcess server(folder, port, true);
        std::string burst;
        for (int i = 0; i < 150; ++i) burst += i % 2 ? "c\n" : "\n";
        server.write(burst);
        ASSERT_TRUE(waitFor([&] { return count(server.log(), "coin inserted (console)") >= 20; }));
        server.stop(SIGKILL);
        logged = count(server.log(), "coin inserted (console)");
    }
    const StateFile::Reading stored = StateFile(folder + "/credits").read();
    ASSERT_TRUE(stored.problem.empty()) << stored.problem;
    EXPECT_GE(stored.credits, logged);
    EXPECT_LE(stored.credits, logged + 1) << "only the coin being logged may be missing from the log";

    ServerProcess restarted(folder, port, false);
    EXPECT_EQ(Cabinet(port).credits(), stored.credits);
    restarted.stop(SIGINT);
    ServerProcess again(folder, port, false);
    EXPECT_EQ(Cabinet(port).credits(), stored.credits);
}

TEST_F(CoinServerTest, OnlyAllowedAddressesAreServed) {
    ServerProcess server(folder, port, false, "127.0.0.1");
    server.signal(SIGUSR1);
    ASSERT_TRUE(Cabinet(port).seesCredits(1));
    const Cabinet stranger(port, "127.0.0.2");
    stranger.use();
    EXPECT_EQ(stranger.credits(), -1);
    EXPECT_EQ(Cabinet(port).credits(), 1) << "a stranger's U spent a credit";
    EXPECT_NE(server.errors().find("ignoring datagrams from 127.0.0.2"), std::string::npos) << server.errors();
}

TEST_F(CoinServerTest, ADamagedStateFileIsReportedAndKeptAside) {
    for (const std::string damaged : {"", "credits 12", "credits -3\n", "credits 1x\n", "cred\x01\n",
                                      "credits 99999999999999999999\n"}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::ofstream(folder + "/credits") << damaged;
        ServerProcess server(folder, port, false);
        EXPECT_EQ(Cabinet(port).credits(), 0);
        EXPECT_NE(server.errors().find("held no credit count; kept as " + folder + "/credits.corrupt-"),
                  std::string::npos)
            << server.errors();
        EXPECT_NE(server.log().find("WARNING: the state file"), std::string::npos);
        int keptAside = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().rfind("credits.corrupt-", 0) == 0) {
                EXPECT_EQ(readFile(entry.path()), damaged);
                ++keptAside;
            }
        }
        EXPECT_EQ(keptAside, 1) << damaged;
    }
}

TEST_F(CoinServerTest, TheArcadeGameSpendsACreditFromTheServer) {
    ServerProcess server(folder, port, false);
    const TempDataDir data;
    data.write("levels/level1.dat", "end 100000\n");
    Settings& settings = Settings::instance();
    settings.setString("coin_host", "127.0.0.1");
    settings.setString("coin_port", std::to_string(port));
    settings.setInt("arcade", 1);
    settings.setInt("player1Start", '1');
    settings.setFloat("z_offset", 25.0f);
    Game& game = Game::instance();
    game.showMainMenu();
    server.signal(SIGUSR1);
    ASSERT_TRUE(waitFor([&] {
        game.update(20);
        return game.getCoinClient()->getCredits() == 1;
    }));
    game.keyboard('1', 0, true, 0);
    EXPECT_NE(game.getPlayer1(), nullptr);
    // Answers are not matched to questions, so a late one may still show the old count.
    EXPECT_TRUE(waitFor([&] {
        game.update(20);
        return game.getCoinClient()->getCredits() == 0;
    }));
    EXPECT_NE(server.log().find("credit used by 127.0.0.1, credits 0"), std::string::npos) << server.log();
}
