#include "arcade/CoinClient.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "core/InputSeam.h"
#include "core/Settings.h"

namespace {

// How long a poll waits for the answer to its question; the tick waits with it.
constexpr int kAnswerWaitMilliseconds = 20;
// Polls without an answer before the count is taken as none: about a second of ticks,
// far beyond a busy server's delay, short enough that a cabinet cut off from its server
// stops selling games it cannot report.
constexpr int kSilentPollsBeforeNone = 50;

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
        if (candidate->ai_socktype != SOCK_DGRAM || candidate->ai_protocol != IPPROTO_UDP ||
            candidate->ai_addrlen > sizeof(sockaddr_storage)) {
            std::cout << "skipping\n";
            continue;
        }
        CoinSocket::Peer peer;
        std::memcpy(&peer.address, candidate->ai_addr, candidate->ai_addrlen);
        peer.length = candidate->ai_addrlen;
        peer.family = candidate->ai_family;
        peer.type = candidate->ai_socktype;
        peer.protocol = candidate->ai_protocol;
        CoinSocket opened(peer);
        if (!opened.isOpen()) {
            std::cerr << opened.failure();
            continue;
        }
        std::cout << "Ready to talk to coin server!\n";
        server = peer;
        link = std::move(opened);
        return;
    }
}

void CoinClient::poll() {
    // Even without a server the poll passes the seam, so a replay can supply its counts.
    credits = InputSeam::instance().coinPolled(credits, isConnected() ? askServer() : credits);
}

int CoinClient::askServer() {
    if (!link.isOpen()) {
        // Lost when a credit was used; a new socket hears only answers from now on.
        link = CoinSocket(server);
    }
    // Answers that came after their poll stopped waiting are cleared away first, so the
    // wait below is for this question's answer. They too reply to questions asked since
    // the last "U", and stand for the count if this one is late as well.
    std::optional<int> answer = link.latestAnswer();
    link.send('Q');
    if (const std::optional<int> fresh = link.latestAnswer(kAnswerWaitMilliseconds)) {
        answer = fresh;
    }
    if (answer) {
        pollsUnanswered = 0;
        return *answer;
    }
    if (pollsUnanswered < kSilentPollsBeforeNone) {
        ++pollsUnanswered;
        return credits;
    }
    return 0;
}

void CoinClient::useCoin() {
    if (credits < 1) {
        std::cerr << "Using a coin when we have none!\n";
    } else {
        --credits;
    }
    if (isConnected()) {
        // Answers still on their way to the old socket were counted before this credit
        // was spent; closing it drops them.
        CoinSocket fresh(server);
        if (!fresh.isOpen()) {
            std::cerr << fresh.failure();
        }
        (fresh.isOpen() ? fresh : link).send('U');
        link = std::move(fresh);
    }
    poll();
}
