#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

// Runs the real margin-coin-server with its state file in `disk` and nothing else named,
// so its audit log goes beside the state file; HOME points into the test's folder, so a
// log put anywhere else is not found. Its standard error goes to stderr.txt in `folder`.
pid_t launch(const std::string& folder, const std::string& disk, int port, int input,
             const std::vector<std::string>& extra) {
    std::vector<std::string> arguments = {MB_COIN_SERVER, "--port", std::to_string(port), "--state", disk + "/credits"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    std::vector<std::string> environment = {"HOME=" + folder + "/home", "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    for (std::string& variable : environment) envp.push_back(variable.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(input >= 0 ? input : open("/dev/null", O_RDONLY), STDIN_FILENO);
        dup2(open((folder + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644), STDERR_FILENO);
        dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
        execve(MB_COIN_SERVER, argv.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// The exit status of a server that is expected to stop by itself; -1 (and it is killed)
// if it is still running after five seconds.
int exitStatusOf(pid_t pid) {
    int status = 0;
    if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A running server; standard input is a pipe the test writes coins into, or /dev/null.
class ServerProcess {
public:
    ServerProcess(const std::string& folder, const std::string& disk, int port, bool inputPipe,
                  const std::vector<std::string>& extra = {})
        : folder(folder), disk(disk) {
        int pipeEnds[2] = {-1, -1};
        if (inputPipe && pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
        const int starts = count(log(), " started on ");
        pid = launch(folder, disk, port, pipeEnds[0], extra);
        if (inputPipe) {
            close(pipeEnds[0]);
            input = pipeEnds[1];
        }
        if (!waitFor([&] { return count(log(), " started on ") > starts; })) ADD_FAILURE() << errors();
    }
    ~ServerProcess() { stop(SIGTERM); }

    std::string log() const { return readFile(disk + "/audit.log"); }
    std::string errors() const { return readFile(folder + "/stderr.txt"); }
    void write(const std::string& lines) const {
        ASSERT_EQ(::write(input, lines.data(), lines.size()), ssize_t(lines.size()));
    }
    void signal(int number) const { kill(pid, number); }
    // Answers the exit status, or the signal number plus 128.
    int stop(int number) {
        if (pid <= 0) return -1;
        kill(pid, number);
        const int status = exitStatusOf(pid);
        pid = -1;
        if (input >= 0) close(input);
        input = -1;
        return status;
    }

private:
    std::string folder;
    std::string disk;
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
    // Where the state file and the audit log live.
    std::string disk = folder + "/disk";
    int port = freePort();
    void SetUp() override { fs::create_directories(disk); }
    void TearDown() override {
        umount2(disk.c_str(), MNT_DETACH);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    // Puts a 64 KiB tmpfs at `disk`, in a mount namespace of this test's own so nobody
    // else sees it and it goes when the test does. False where that is not allowed.
    bool mountSmallDisk() {
        if (unshare(CLONE_NEWNS) != 0) {
            const std::string uid = "0 " + std::to_string(getuid()) + " 1";
            const std::string gid = "0 " + std::to_string(getgid()) + " 1";
            if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << uid;
            std::ofstream("/proc/self/gid_map") << gid;
        }
        return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
};

}  // namespace

// A sender repeating "U" with nothing left costs one log line at once and one summary
// (here written at the stop), not a synced line each.
TEST_F(CoinServerTest, ServesWithItsInputClosedNeverGoesBelowNothingAndSummarisesRefusals) {
    ServerProcess server(folder, disk, port, false);
    const Cabinet cabinet(port);
    EXPECT_EQ(cabinet.credits(), 0);
    server.signal(SIGUSR1);
    ASSERT_TRUE(cabinet.seesCredits(1));
    cabinet.use();
    for (int flood = 0; flood < 1000; ++flood) cabinet.use();
    EXPECT_TRUE(cabinet.seesCredits(0));
    std::string log = server.log();
    EXPECT_NE(log.find("Z coin inserted (signal), credits 1\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Z credit used by 127.0.0.1, credits 0\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Z credit refused to 127.0.0.1: none left, credits 0\n"), std::string::npos) << log;
    EXPECT_EQ(count(log, "credit refused"), 1) << log;
    EXPECT_EQ(server.stop(SIGTERM), 0);
    log = server.log();
    EXPECT_EQ(count(log, "credit refused"), 2) << log;
    EXPECT_NE(log.find(" more time"), std::string::npos) << log;
    EXPECT_EQ(readFile(disk + "/credits"), "credits 0\n");
}

TEST_F(CoinServerTest, AKilledServerHasLoggedEveryStoredCoinAndARestartKeepsTheCount) {
    int logged = 0;
    {
        ServerProcess server(folder, disk, port, true);
        std::string burst;
        for (int i = 0; i < 150; ++i) burst += i % 2 ? "c\n" : "\n";
        server.write(burst);
        ASSERT_TRUE(waitFor([&] { return count(server.log(), "coin inserted (console)") >= 20; }));
        server.stop(SIGKILL);
        logged = count(server.log(), "coin inserted (console)");
    }
    const StateFile::Reading stored = StateFile(disk + "/credits").read();
    ASSERT_TRUE(stored.problem.empty()) << stored.problem;
    EXPECT_LE(stored.credits, logged);
    EXPECT_GE(stored.credits, logged - 1) << "only the coin being stored may be missing from the state file";

    ServerProcess restarted(folder, disk, port, false);
    EXPECT_EQ(Cabinet(port).credits(), stored.credits);
    EXPECT_EQ(count(restarted.log(), "WARNING: the audit log last gave"), logged - stored.credits);
    restarted.stop(SIGINT);
    ServerProcess again(folder, disk, port, false);
    EXPECT_EQ(Cabinet(port).credits(), stored.credits);
}

TEST_F(CoinServerTest, OnlyAllowedAddressesAreServed) {
    ServerProcess server(folder, disk, port, false, {"--allow", "127.0.0.1"});
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
        fs::remove_all(disk);
        fs::create_directories(disk);
        std::ofstream(disk + "/credits") << damaged;
        ServerProcess server(folder, disk, port, false);
        EXPECT_EQ(Cabinet(port).credits(), 0);
        EXPECT_NE(server.errors().find("held no credit count; kept as " + disk + "/credits.corrupt-"),
                  std::string::npos)
            << server.errors();
        EXPECT_NE(server.log().find("WARNING: the state file"), std::string::npos);
        int keptAside = 0;
        for (const auto& entry : fs::directory_iterator(disk)) {
            if (entry.path().filename().string().rfind("credits.corrupt-", 0) == 0) {
                EXPECT_EQ(readFile(entry.path()), damaged);
                ++keptAside;
            }
        }
        EXPECT_EQ(keptAside, 1) << damaged;
    }
}

// Names put in the server's folder by someone else: a link at the state file's
// temporary name or at the log, a pipe or a huge file as the state file. None is
// followed, read whole or written through; the server refuses to start rather than
// count on top of them.
TEST_F(CoinServerTest, FilesItDidNotMakeAreNeitherFollowedNorReadWhole) {
    const std::string victim = folder + "/victim";
    std::ofstream(victim) << "precious\n";
    fs::create_symlink(victim, disk + "/credits.tmp");
    {
        ServerProcess server(folder, disk, port, false);
        server.signal(SIGUSR1);
        EXPECT_TRUE(Cabinet(port).seesCredits(1));
    }
    EXPECT_EQ(readFile(victim), "precious\n");
    EXPECT_EQ(readFile(disk + "/credits"), "credits 1\n");
    EXPECT_FALSE(fs::is_symlink(disk + "/credits.tmp"));

    fs::remove(disk + "/audit.log");
    fs::create_symlink(victim, disk + "/audit.log");
    EXPECT_EQ(exitStatusOf(launch(folder, disk, port, -1, {})), 1);
    EXPECT_NE(readFile(folder + "/stderr.txt").find(disk + "/audit.log: it is a symbolic link"), std::string::npos);
    EXPECT_EQ(readFile(victim), "precious\n");
    fs::remove(disk + "/audit.log");

    fs::remove(disk + "/credits");
    ASSERT_EQ(mkfifo((disk + "/credits").c_str(), 0644), 0);
    EXPECT_EQ(exitStatusOf(launch(folder, disk, port, -1, {})), 1) << "a pipe as the state file";
    fs::remove(disk + "/credits");
    std::ofstream(disk + "/credits").close();
    fs::resize_file(disk + "/credits", std::uintmax_t(1) << 30);
    EXPECT_EQ(exitStatusOf(launch(folder, disk, port, -1, {})), 1) << "a 1 GiB state file";
    EXPECT_EQ(fs::file_size(disk + "/credits"), std::uintmax_t(1) << 30) << "moved aside or changed";
    EXPECT_NE(readFile(folder + "/stderr.txt").find("1073741824 bytes"), std::string::npos);
}

// A 64 KiB disk is filled up while coins keep coming. Every coin the server counts is
// stored and logged; the rest are refused on standard error; the log holds whole lines.
TEST_F(CoinServerTest, AFullDiskRefusesCoinsItCannotKeep) {
    if (!mountSmallDisk()) GTEST_SKIP() << "not allowed to mount a small tmpfs here";
    ServerProcess server(folder, disk, port, true);
    const Cabinet cabinet(port);
    server.write("\n\n\n");
    ASSERT_TRUE(cabinet.seesCredits(3));
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string page(4096, 'x');
        while (filler.write(page.data(), page.size()) && filler.flush()) {
        }
    }
    // One page free again: enough for a few coins, not for all.
    fs::resize_file(disk + "/filler", fs::file_size(disk + "/filler") / 4096 * 4096 - 4096);
    server.write(std::string(200, '\n'));
    const auto handled = [&] {
        return count(server.log(), "coin inserted (console)") + count(server.errors(), "COIN REFUSED (console)");
    };
    ASSERT_TRUE(waitFor([&] { return handled() >= 203; })) << handled();
    const std::string log = server.log();
    const int stored = static_cast<int>(StateFile(disk + "/credits").read().credits);
    EXPECT_LT(stored, 203);
    EXPECT_EQ(count(log, "coin inserted (console)"), stored) << log;
    EXPECT_EQ(cabinet.credits(), std::min(stored, 255));
    EXPECT_EQ(count(server.errors(), "COIN REFUSED (console)"), 203 - stored);
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(line.size() > 21 && line[20] == ' ' && line.find(", credits ") != std::string::npos) << line;
    }
    EXPECT_EQ(log.back(), '\n');
    cabinet.use();
    EXPECT_TRUE(cabinet.seesCredits(stored - 1)) << "a credit the game spent is taken off, stored or not";
}

TEST_F(CoinServerTest, TheArcadeGameSpendsACreditFromTheServer) {
    ServerProcess server(folder, disk, port, false);
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
    EXPECT_TRUE(waitFor([&] { return count(server.log(), "credit used by 127.0.0.1, credits 0") == 1; }));
    for (int tick = 0; tick < 20; ++tick) {
        game.update(20);
        EXPECT_EQ(game.getCoinClient()->getCredits(), 0) << "the count from before the credit was used came back";
    }
}
