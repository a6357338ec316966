// A coin server for arcade cabinets and for trying arcade mode at a desk: keeps the
// credit count, answers every "Q" datagram with it (one byte) and lowers it on "U".
// Each line typed on standard input inserts a coin; "q" quits.
//
//   coin-server <port> [starting credits]
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

class UdpSocket {
public:
    explicit UdpSocket(int port) : fd(socket(AF_INET6, SOCK_DGRAM, 0)) {
        if (fd < 0) {
            return;
        }
        const int dualStack = 0;
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &dualStack, sizeof dualStack);
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = in6addr_any;
        address.sin6_port = htons(static_cast<uint16_t>(port));
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~UdpSocket() {
        if (fd >= 0) close(fd);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    int handle() const { return fd; }

private:
    int fd;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: coin-server <port> [starting credits]\n";
        return 2;
    }
    const int port = std::atoi(argv[1]);
    int credits = argc > 2 ? std::atoi(argv[2]) : 0;
    if (port <= 0 || port > 65535 || credits < 0) {
        std::cerr << "coin-server: the port must be 1-65535 and the credits 0 or more\n";
        return 2;
    }
    const UdpSocket server(port);
    if (server.handle() < 0) {
        std::perror("coin-server");
        return 1;
    }
    std::cout << "Coin server on port " << port << ", " << credits
              << " credits. Press Enter to insert a coin, q and Enter to quit." << std::endl;

    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(server.handle(), &readable);
        FD_SET(STDIN_FILENO, &readable);
        if (select(server.handle() + 1, &readable, nullptr, nullptr, nullptr) < 0) {
            std::perror("coin-server");
            return 1;
        }
        if (FD_ISSET(STDIN_FILENO, &readable)) {
            std::string line;
            if (!std::getline(std::cin, line) || line == "q") {
                return 0;
            }
            if (credits < 255) ++credits;
            std::cout << "Coin inserted: " << credits << " credits." << std::endl;
        }
        if (FD_ISSET(server.handle(), &readable)) {
            char request[64];
            sockaddr_in6 from{};
            socklen_t fromLength = sizeof from;
            const ssize_t size = recvfrom(server.handle(), request, sizeof request, 0,
                                          reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (size != 1) {
                continue;
            }
            if (request[0] == 'U' && credits > 0) {
                --credits;
                std::cout << "Credit used: " << credits << " left." << std::endl;
            } else if (request[0] == 'Q') {
                const unsigned char answer = static_cast<unsigned char>(credits);
                sendto(server.handle(), &answer, 1, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
            }
        }
    }
}
