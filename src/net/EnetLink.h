#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;

// One ENet connection to the other player, over one reliable sequenced channel (and,
// for rollback play, a second channel whose packets may be lost or overtaken). The
// host listens on the port on every address and takes the first player who connects;
// the joiner keeps trying the host until it answers. Nothing here ever blocks except
// the bounded farewell in the destructor, which gives a goodbye its chance to arrive.
class EnetLink {
public:
    struct Event {
        enum class Kind { Connected, Received, Disconnected } kind;
        std::vector<uint8_t> bytes;
    };

    // Host when `host` is empty; `problem` is set when the port or address is unusable.
    // `channels` is 1, or 2 for a link that also carries sendUnreliable.
    EnetLink(const std::string& host, int port, int channels = 1);
    ~EnetLink();
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    const std::string& problem() const { return failure; }
    bool isConnected() const { return peer != nullptr && connected; }

    // Everything that arrived since the last call; never waits.
    std::vector<Event> poll();
    void send(const std::vector<uint8_t>& bytes);
    // On the second channel: may be lost, duplicated or overtaken by a later one.
    void sendUnreliable(const std::vector<uint8_t>& bytes);
    // Sends what is queued now rather than at the next poll.
    void flush();
    // A host lets go of its player at once, without a farewell, and waits for the next.
    void dropPeer();

    int roundTripMilliseconds() const;
    uint64_t bytesSent() const;
    uint64_t bytesReceived() const;

private:
    void connect();

    std::string hostName;
    int port = 0;
    int channels = 1;
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false;
    std::string failure;
};
