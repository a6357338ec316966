#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "FuzzSupport.h"
#include "arcade/CoinClient.h"
#include "core/Settings.h"
#include "input/FileDescriptor.h"

// The input is what a coin server sends: each datagram is a length byte (its top bit
// spends a credit first; the largest length means 2000 bytes) and that many bytes. The harness plays the server on 127.0.0.1
// and queues each answer before the client's poll, so no poll waits.
namespace {

FileDescriptor server;
std::unique_ptr<CoinClient> client;
sockaddr_in clientAddress{};

void answer(const std::string& datagram) {
    if (sendto(server.get(), datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&clientAddress),
               sizeof clientAddress) != static_cast<ssize_t>(datagram.size())) {
        std::abort();
    }
}

void drainQueries() {
    char query[16];
    while (recv(server.get(), query, sizeof query, MSG_DONTWAIT) > 0) {
    }
}

bool startServerAndClient() {
    server = FileDescriptor(socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(server.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(server.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::abort();
    }
    Settings::instance().setString("coin_host", "127.0.0.1");
    Settings::instance().setString("coin_port", std::to_string(ntohs(address.sin_port)));
    client = std::make_unique<CoinClient>();
    // The client's first query (unanswered) tells the server where it is.
    client->poll();
    char query = 0;
    length = sizeof clientAddress;
    if (recvfrom(server.get(), &query, 1, 0, reinterpret_cast<sockaddr*>(&clientAddress), &length) != 1) {
        std::abort();
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = startServerAndClient();
    (void)ready;
    fuzz::ByteReader input(data, size);
    while (!input.empty()) {
        const std::uint8_t header = input.byte();
        // The longest length reads past the client's 1 KiB receive buffer.
        const std::size_t length = header & 0x7f;
        const std::string datagram = input.take(length == 0x7f ? 2000 : length);
        answer(datagram);
        if ((header & 0x80) != 0) {
            client->useCoin();
        } else {
            client->poll();
        }
        const std::size_t kept = std::min<std::size_t>(datagram.size(), 1024);
        const int expected = kept == 0 ? 0 : static_cast<unsigned char>(datagram[kept - 1]);
        if (client->getCredits() != expected) {
            std::abort();
        }
        drainQueries();
    }
    return 0;
}
