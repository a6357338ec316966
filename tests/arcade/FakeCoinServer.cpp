#include "arcade/FakeCoinServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

FakeCoinServer::FakeCoinServer()
    : answer([](int count) { return std::string(1, static_cast<char>(count)); }) {
    fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot bind a UDP socket on 127.0.0.1");
    }
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    boundPort = ntohs(address.sin_port);
    worker = std::thread([this] { serve(); });
}

FakeCoinServer::~FakeCoinServer() {
    running = false;
    worker.join();
    close(fd);
}

void FakeCoinServer::setAnswer(std::function<std::string(int)> answerFunction) {
    std::lock_guard<std::mutex> guard(lock);
    answer = std::move(answerFunction);
}

std::string FakeCoinServer::received() const {
    std::lock_guard<std::mutex> guard(lock);
    return log;
}

void FakeCoinServer::serve() {
    while (running) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 10000};
        if (select(fd + 1, &readable, nullptr, nullptr, &wait) <= 0) {
            continue;
        }
        char datagram[64];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t size = recvfrom(fd, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (size != 1) {
            continue;
        }
        std::string reply;
        {
            std::lock_guard<std::mutex> guard(lock);
            log += datagram[0];
            if (datagram[0] == 'U' && credits > 0) {
                --credits;
            }
            if (datagram[0] == 'Q' && !silent) {
                reply = answer(credits);
            }
        }
        if (!reply.empty()) {
            sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
        }
    }
}
