// A lossy UDP relay on 127.0.0.1 for the online tests: a joiner sends to the relay's
// port, the relay passes each datagram on to the host's port and the answers back,
// dropping some, holding each for an added one-way delay and holding a few longer so
// that later ones overtake them. Seeded, so a failing run can be repeated.
//
//   udp-relay LISTEN_PORT HOST_PORT [--drop PERCENT] [--delay MS] [--reorder PERCENT] [--seed N]
//
// Runs until killed; prints its counts on SIGTERM or SIGINT.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopping = 0;

class UdpSocket {
public:
    explicit UdpSocket(int port) : fd(socket(AF_INET, SOCK_DGRAM, 0)) {
        const sockaddr_in address = loopback(port);
        if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            std::cerr << "udp-relay: cannot use port " << port << "\n";
            std::exit(2);
        }
    }
    ~UdpSocket() { close(fd); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        return address;
    }

    const int fd;
};

struct Held {
    Clock::time_point due;
    long order;  // ties leave in arrival order
    bool towardsHost;
    std::vector<char> bytes;
    bool operator>(const Held& other) const { return due != other.due ? due > other.due : order > other.order; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: udp-relay LISTEN_PORT HOST_PORT [--drop PERCENT] [--delay MS] [--reorder PERCENT] [--seed N]\n";
        return 2;
    }
    double drop = 0.0;
    double reorder = 0.0;
    int delayMs = 0;
    unsigned seed = 1;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (option == "--drop") drop = value / 100.0;
        else if (option == "--delay") delayMs = static_cast<int>(value);
        else if (option == "--reorder") reorder = value / 100.0;
        else if (option == "--seed") seed = static_cast<unsigned>(value);
    }
    UdpSocket front(std::atoi(argv[1]));
    UdpSocket back(0);
    const sockaddr_in host = UdpSocket::loopback(std::atoi(argv[2]));
    sockaddr_in joiner{};
    bool joinerKnown = false;
    std::signal(SIGTERM, [](int) { stopping = 1; });
    std::signal(SIGINT, [](int) { stopping = 1; });

    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::priority_queue<Held, std::vector<Held>, std::greater<Held>> held;
    long arrived = 0;
    long dropped = 0;
    while (!stopping) {
        int waitMs = 50;
        if (!held.empty()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(held.top().due - Clock::now());
            waitMs = static_cast<int>(std::max<long>(0, std::min<long>(waitMs, left.count() + 1)));
        }
        pollfd sockets[] = {{front.fd, POLLIN, 0}, {back.fd, POLLIN, 0}};
        if (poll(sockets, 2, waitMs) > 0) {
            for (int s = 0; s < 2; ++s) {
                if ((sockets[s].revents & POLLIN) == 0) continue;
                std::vector<char> bytes(65536);
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t size =
                    recvfrom(sockets[s].fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
                if (size < 0) continue;
                bytes.resize(static_cast<std::size_t>(size));
                if (s == 0) {
                    joiner = from;
                    joinerKnown = true;
                }
                ++arrived;
                if (unit(random) < drop) {
                    ++dropped;
                    continue;
                }
                const int extra = unit(random) < reorder ? 1 + static_cast<int>(random() % 20) : 0;
                held.push({Clock::now() + std::chrono::milliseconds(delayMs + extra), arrived, s == 0, std::move(bytes)});
            }
        }
        while (!held.empty() && held.top().due <= Clock::now()) {
            const Held& next = held.top();
            if (next.towardsHost) {
                sendto(back.fd, next.bytes.data(), next.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&host),
                       sizeof host);
            } else if (joinerKnown) {
                sendto(front.fd, next.bytes.data(), next.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&joiner),
                       sizeof joiner);
            }
            held.pop();
        }
    }
    std::cerr << "udp-relay: " << arrived << " datagrams, " << dropped << " dropped\n";
    return 0;
}
