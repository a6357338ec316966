#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "FuzzSupport.h"
#include "arcade/CoinClient.h"
#include "core/Settings.h"
#include "input/FileDescriptor.h"

// The input is what a coin server sends: each datagram is a length byte (its top bit
// spends a credit first; the largest length means 2000 bytes) and that many bytes. The
// harness plays the server on 127.0.0.1: a thread of its own answers every "Q" with the
// datagram of the current step, to whichever socket asked, while the client waits.
namespace {

struct Script {
    std::mutex lock;
    std::string answer;
};

// Runs for the life of the process; it shares the script, so neither outlives the other.
void answerQuestions(FileDescriptor socket, std::shared_ptr<Script> script) {
    for (;;) {
        char query[16];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        if (recvfrom(socket.get(), query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &length) != 1 ||
            query[0] != 'Q') {
            continue;
        }
        const std::lock_guard<std::mutex> guard(script->lock);
        sendto(socket.get(), script->answer.data(), script->answer.size(), 0, reinterpret_cast<sockaddr*>(&from),
               length);
    }
}

std::shared_ptr<Script> startServer() {
    FileDescriptor socket(::socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::abort();
    }
    Settings::instance().setString("coin_host", "127.0.0.1");
    Settings::instance().setString("coin_port", std::to_string(ntohs(address.sin_port)));
    auto script = std::make_shared<Script>();
    std::thread(answerQuestions, std::move(socket), script).detach();
    return script;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::shared_ptr<Script> script = startServer();
    static const std::unique_ptr<CoinClient> client = std::make_unique<CoinClient>();
    fuzz::ByteReader input(data, size);
    while (!input.empty()) {
        const std::uint8_t header = input.byte();
        // The longest length reads past the client's 1 KiB receive buffer.
        const std::size_t length = header & 0x7f;
        const std::string datagram = input.take(length == 0x7f ? 2000 : length);
        {
            const std::lock_guard<std::mutex> guard(script->lock);
            script->answer = datagram;
        }
        int kept = client->getCredits();
        if ((header & 0x80) != 0) {
            client->useCoin();
            kept = std::max(kept - 1, 0);
        } else {
            client->poll();
        }
        // The answer's last byte, unsigned; without one (an empty datagram, or an answer
        // later than the client waits) the count known before, or none after silence.
        const std::size_t received = std::min<std::size_t>(datagram.size(), 1024);
        const int credits = client->getCredits();
        if ((received == 0 || credits != static_cast<unsigned char>(datagram[received - 1])) && credits != kept &&
            credits != 0) {
            std::abort();
        }
    }
    return 0;
}
