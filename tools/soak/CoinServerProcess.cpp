#include "CoinServerProcess.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

extern char** environ;

CoinServerProcess::CoinServerProcess(std::string program) : program(std::move(program)), port(freeUdpPort()) {
    start();
}

CoinServerProcess::~CoinServerProcess() { stop(); }

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
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (error != 0) {
        close(pipeEnds[1]);
        throw std::runtime_error("cannot start the coin server " + program);
    }
    child = pid;
    input = pipeEnds[1];
}

void CoinServerProcess::stop() {
    if (!isRunning()) {
        return;
    }
    // End of input is the server's signal to quit; one that hangs on is killed.
    close(input);
    input = -1;
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; waited += 10) {
        if (waited == 2000) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    child = -1;
}

void CoinServerProcess::insertCoin() {
    if (isRunning() && write(input, "\n", 1) == 1) {
        ++coinsInserted;
    }
}
