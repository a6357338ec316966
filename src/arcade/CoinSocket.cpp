#include "arcade/CoinSocket.h"

#include <poll.h>

#include <cerrno>

namespace {

constexpr int kAnswerBytes = 1024;
// Bounds the time one poll spends on a server that floods the socket; the rest waits
// for the next poll.
constexpr int kMostAnswersPerRead = 256;

}  // namespace

CoinSocket::CoinSocket(const Peer& peer) {
    FileDescriptor made(::socket(peer.family, peer.type | SOCK_CLOEXEC, peer.protocol));
    if (!made.valid()) {
        problem = "Unable to create socket.\n";
        return;
    }
    if (connect(made.get(), reinterpret_cast<const sockaddr*>(&peer.address), peer.length) != 0) {
        problem = "Unable to connect socket.\n";
        return;
    }
    socket = std::move(made);
}

void CoinSocket::send(char byte) const {
    if (socket.valid()) {
        (void)::send(socket.get(), &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
}

std::optional<int> CoinSocket::latestAnswer(int waitMilliseconds) const {
    std::optional<int> newest;
    pollfd readable{socket.get(), POLLIN, 0};
    if (socket.valid() && waitMilliseconds > 0 && ::poll(&readable, 1, waitMilliseconds) <= 0) {
        return newest;
    }
    unsigned char answer[kAnswerBytes];
    for (int read = 0; socket.valid() && read < kMostAnswersPerRead; ++read) {
        const ssize_t received = recv(socket.get(), answer, sizeof answer, MSG_DONTWAIT);
        if (received < 0 && errno == ECONNREFUSED) {
            continue;  // an earlier question found no server; answers may still follow it
        }
        if (received < 0) {
            break;
        }
        if (received > 0) {
            newest = answer[received - 1];
        }
    }
    return newest;
}
