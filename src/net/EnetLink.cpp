#include "net/EnetLink.h"

#include <enet/enet.h>

#include <chrono>
#include <cstdlib>

#include "net/NetMessage.h"

namespace {

// ENet wants one initialisation per process, before the first host.
bool enetReady() {
    static const bool ready = [] {
        if (enet_initialize() != 0) return false;
        std::atexit(enet_deinitialize);
        return true;
    }();
    return ready;
}

// ENet's own give-up time is kept above the session's 5 s silence rule, so that the
// player hears the session's words rather than a bare disconnect.
constexpr enet_uint32 kPeerTimeoutMs = 8000;
constexpr int kFarewellMs = 300;

}  // namespace

EnetLink::EnetLink(const std::string& hostToJoin, int portNumber, int channelCount)
    : hostName(hostToJoin), port(portNumber), channels(channelCount) {
    if (!enetReady()) {
        failure = "The network could not be started.";
        return;
    }
    if (port < 1 || port > 65535) {
        failure = "The port " + std::to_string(port) + " is no port number.";
        return;
    }
    if (hostName.empty()) {
        ENetAddress address{};
        address.host = ENET_HOST_ANY;
        address.port = static_cast<enet_uint16>(port);
        host = enet_host_create(&address, 1, static_cast<size_t>(channels), 0, 0);
        if (host == nullptr) failure = "Cannot wait for a player on port " + std::to_string(port) + ": it is in use.";
    } else {
        host = enet_host_create(nullptr, 1, static_cast<size_t>(channels), 0, 0);
        if (host == nullptr) failure = "The network could not be started.";
    }
    if (host != nullptr) {
        host->maximumPacketSize = NetMessage::MostBytes;
        if (!hostName.empty()) connect();
    }
}

EnetLink::~EnetLink() {
    if (host == nullptr) return;
    if (peer != nullptr && connected) {
        enet_peer_disconnect_later(peer, 0);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFarewellMs);
        ENetEvent event;
        bool gone = false;
        while (!gone && std::chrono::steady_clock::now() < giveUp) {
            if (enet_host_service(host, &event, 10) <= 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            gone = event.type == ENET_EVENT_TYPE_DISCONNECT;
        }
        if (!gone) enet_peer_reset(peer);
    }
    enet_host_destroy(host);
}

void EnetLink::connect() {
    ENetAddress address{};
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        failure = "The host " + hostName + " cannot be found.";
        return;
    }
    address.port = static_cast<enet_uint16>(port);
    peer = enet_host_connect(host, &address, static_cast<size_t>(channels), 0);
    if (peer == nullptr) failure = "The network could not be started.";
}

std::vector<EnetLink::Event> EnetLink::poll() {
    std::vector<Event> events;
    if (host == nullptr) return events;
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                peer = event.peer;
                connected = true;
                enet_peer_timeout(peer, 0, kPeerTimeoutMs, kPeerTimeoutMs);
                // ENet drops unreliable packets when the round trip wavers, taking it for
                // congestion; the input channel's packets are few and small, and each one
                // dropped holds the other side's guesses wrong for longer.
                if (channels > 1) {
                    enet_peer_throttle_configure(peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                                 ENET_PEER_PACKET_THROTTLE_SCALE, 0);
                }
                events.push_back({Event::Kind::Connected, {}});
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (event.peer == peer) {
                    events.push_back({Event::Kind::Received,
                                      std::vector<uint8_t>(event.packet->data,
                                                           event.packet->data + event.packet->dataLength)});
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer != peer) break;
                if (connected || hostName.empty()) {
                    events.push_back({Event::Kind::Disconnected, {}});
                    connected = false;
                    peer = nullptr;
                } else {
                    // The host is not there yet: try again, until the player gives up.
                    connect();
                }
                break;
            case ENET_EVENT_TYPE_NONE: break;
        }
    }
    return events;
}

void EnetLink::send(const std::vector<uint8_t>& bytes) {
    if (!isConnected()) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet != nullptr && enet_peer_send(peer, 0, packet) != 0) enet_packet_destroy(packet);
}

void EnetLink::sendUnreliable(const std::vector<uint8_t>& bytes) {
    // A peer that agreed to one channel only is refused at the handshake; until then
    // there is nowhere else to send.
    if (!isConnected() || peer->channelCount < 2) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet != nullptr && enet_peer_send(peer, 1, packet) != 0) enet_packet_destroy(packet);
}

void EnetLink::flush() {
    if (host != nullptr) enet_host_flush(host);
}

void EnetLink::dropPeer() {
    if (peer == nullptr) return;
    enet_peer_disconnect_now(peer, 0);
    peer = nullptr;
    connected = false;
}

int EnetLink::roundTripMilliseconds() const { return isConnected() ? static_cast<int>(peer->roundTripTime) : 0; }

uint64_t EnetLink::bytesSent() const { return host != nullptr ? host->totalSentData : 0; }

uint64_t EnetLink::bytesReceived() const { return host != nullptr ? host->totalReceivedData : 0; }
