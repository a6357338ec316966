#pragma once

#include <sys/socket.h>

#include <optional>

#include "input/FileDescriptor.h"

// One UDP socket connected to the coin server. The system hands every socket a port of
// its own and delivers to it only what the server sends to that port, so a fresh socket
// never hears an answer to a question asked on an earlier one.
class CoinSocket {
public:
    // Where the server is, as the resolver found it.
    struct Peer {
        sockaddr_storage address{};
        socklen_t length = 0;
        int family = 0;
        int type = 0;
        int protocol = 0;
    };

    CoinSocket() = default;
    // Not open when the socket cannot be made or connected; failure() then says which.
    explicit CoinSocket(const Peer& peer);

    bool isOpen() const { return socket.valid(); }
    // The console line for a socket that did not open, or nullptr.
    const char* failure() const { return problem; }

    // A refused or lost datagram only means no answer this time.
    void send(char byte) const;
    // Waits up to `waitMilliseconds` for an answer, then reads every answer waiting and
    // returns the count in the newest: the last byte of the datagram, unsigned. nullopt
    // when no answer with a byte came.
    std::optional<int> latestAnswer(int waitMilliseconds = 0) const;

private:
    FileDescriptor socket;
    const char* problem = nullptr;
};
