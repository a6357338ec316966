#include "arcade/CoinClient.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>

#include "core/InputSeam.h"
#include "core/Settings.h"

namespace {

constexpr int kAnswerWaitMicroseconds = 20000;

struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

void describe(const addrinfo& candidate) {
    char host[INET6_ADDRSTRLEN] = "?";
    unsigned port = 0;
    if (candidate.ai_family == AF_INET) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(candidate.ai_addr);
        inet_ntop(AF_INET, &address->sin_addr, host, sizeof host);
        port = ntohs(address->sin_port);
    } else if (candidate.ai_family == AF_INET6) {
        const auto* address = reinterpret_cast<const sockaddr_in6*>(candidate.ai_addr);
        inet_ntop(AF_INET6, &address->sin6_addr, host, sizeof host);
        port = ntohs(address->sin6_port);
    }
    std::cout << "Trying to connect to coin server.\n"
              << "\thost: " << host << "\n"
              << "\tport: " << port << "\n";
}

}  // namespace

CoinClient::CoinClient() {
    Settings& settings = Settings::instance();
    const std::string host = settings.getString("coin_host");
    const std::string port = settings.getString("coin_port");
    if (host.empty() || port.empty()) {
        return;
    }
    connectTo(host.c_str(), port.c_str());
}

CoinClient::~CoinClient() {
    if (socketFd >= 0) {
        close(socketFd);
    }
}

void CoinClient::connectTo(const char* host, const char* port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, port, &hints, &found) != 0) {
        std::cerr << "getaddrinfo failed\n";
        return;
    }
    const std::unique_ptr<addrinfo, AddressListDeleter> candidates(found);
    for (const addrinfo* candidate = found; candidate != nullptr; candidate = candidate->ai_next) {
        describe(*candidate);
        if (candidate->ai_socktype != SOCK_DGRAM || candidate->ai_protocol != IPPROTO_UDP) {
            std::cout << "skipping\n";
            continue;
        }
        const int fd = socket(candidate->ai_family, candidate->ai_socktype, candidate->ai_protocol);
        if (fd < 0) {
            std::cerr << "Unable to create socket.\n";
            continue;
        }
        if (connect(fd, candidate->ai_addr, candidate->ai_addrlen) != 0) {
            std::cerr << "Unable to connect socket.\n";
            close(fd);
            continue;
        }
        std::cout << "Ready to talk to coin server!\n";
        socketFd = fd;
        return;
    }
}

void CoinClient::send(char byte) const {
    // A refused or lost datagram only means no answer this tick.
    (void)::send(socketFd, &byte, 1, MSG_NOSIGNAL);
}

void CoinClient::poll() {
    // Even without a server the poll passes the seam, so a replay can supply its counts.
    credits = InputSeam::instance().coinPolled(credits, socketFd >= 0 ? askServer() : credits);
}

int CoinClient::askServer() const {
    send('Q');
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socketFd, &readable);
    timeval wait{0, kAnswerWaitMicroseconds};
    if (select(socketFd + 1, &readable, nullptr, nullptr, &wait) <= 0) {
        return 0;
    }
    unsigned char answer[1024];
    const ssize_t received = recv(socketFd, answer, sizeof answer, 0);
    return received >= 1 ? answer[received - 1] : 0;
}

void CoinClient::useCoin() {
    if (credits < 1) {
        std::cerr << "Using a coin when we have none!\n";
    } else {
        --credits;
    }
    if (socketFd >= 0) {
        send('U');
    }
    poll();
}
