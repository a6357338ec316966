#include "CoinServerProcess.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// How long a server that is running may take to answer before the soak gives up waiting.
constexpr int kPatienceMilliseconds = 2000;

bool exited(pid_t child, int waitMilliseconds) {
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; waited += 10) {
        if (waited >= waitMilliseconds) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string makeStateFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "soak-coins-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot make a state folder for the coin server");
    }
    return folder;
}

}  // namespace

CoinServerProcess::CoinServerProcess(std::string program)
    : program(std::move(program)),
      port(freeUdpPort()),
      stateFolder(makeStateFolder()),
      probe(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (!probe.valid() || connect(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot make a socket to ask the coin server");
    }
    start();
}

CoinServerProcess::~CoinServerProcess() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(stateFolder, ignored);
}

int CoinServerProcess::freeUdpPort() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (fd >= 0) close(fd);
    if (!bound) {
        throw std::runtime_error("no free UDP port on 127.0.0.1");
    }
    return ntohs(address.sin_port);
}

void CoinServerProcess::start() {
    if (isRunning()) {
        return;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe for the coin server");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    // Its chatter about every coin would drown the soak's own report.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string portText = std::to_string(port);
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(portText.c_str()), nullptr};
    // The folders a service manager would hand it, for its credits and its audit log.
    std::vector<std::string> settings = {"STATE_DIRECTORY=" + stateFolder, "LOGS_DIRECTORY=" + stateFolder};
    std::vector<char*> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        environment.push_back(*variable);
    }
    for (std::string& setting : settings) {
        environment.push_back(setting.data());
    }
    environment.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (error != 0) {
        close(pipeEnds[1]);
        throw std::runtime_error("cannot start the coin server " + program);
    }
    child = pid;
    input = pipeEnds[1];
    for (int waited = 0; askCredits() < 0 && waited < kPatienceMilliseconds; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int CoinServerProcess::askCredits() const {
    char answer[64];
    // Answers that came too late for an earlier question would be taken for this one.
    while (recv(probe.get(), answer, sizeof answer, MSG_DONTWAIT) >= 0) {
    }
    if (send(probe.get(), "Q", 1, MSG_NOSIGNAL) != 1) {
        return -1;
    }
    pollfd readable{probe.get(), POLLIN, 0};
    if (poll(&readable, 1, 100) != 1) {
        return -1;
    }
    const ssize_t size = recv(probe.get(), answer, sizeof answer, 0);
    return size > 0 ? static_cast<unsigned char>(answer[size - 1]) : -1;
}

void CoinServerProcess::stop() {
    if (!isRunning()) {
        return;
    }
    // "q" is the quit line of every coin server; one that hangs on is made to go.
    if (write(input, "q\n", 2) != 2 || !exited(child, kPatienceMilliseconds)) {
        kill(child, SIGTERM);
        if (!exited(child, kPatienceMilliseconds)) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    }
    close(input);
    input = -1;
    child = -1;
}

void CoinServerProcess::insertCoin() {
    if (!isRunning()) {
        return;
    }
    const int before = askCredits();
    if (write(input, "\n", 1) != 1) {
        return;
    }
    ++coinsInserted;
    // The server stops counting at 255.
    for (int waited = 0; waited < kPatienceMilliseconds && before < 255; waited += 10) {
        const int now = askCredits();
        if (now > before) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
