#include "ServerLoop.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <string>

ServerLoop::ServerLoop(const UdpEndpoint& endpoint, const SignalWatch& signals, CoinService& service, AuditLog& log)
    : endpoint(endpoint), signals(signals), service(service), log(log) {}

int ServerLoop::run() {
    if (signals.handle() < 0) {
        std::cerr << "margin-coin-server: cannot watch signals: " << std::strerror(errno) << "\n";
        return 1;
    }
    for (;;) {
        pollfd waits[3] = {{endpoint.handle(), POLLIN, 0}, {signals.handle(), POLLIN, 0},
                           {console.isOpen() ? STDIN_FILENO : -1, POLLIN, 0}};
        if (poll(waits, 3, millisecondsToNextSummary()) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::cerr << "margin-coin-server: " << std::strerror(errno) << "\n";
            return 1;
        }
        if (waits[0].revents != 0) {
            readDatagrams();
        }
        service.writeSummaries(false);
        if (waits[1].revents != 0 && !handleSignals()) {
            return 0;
        }
        if (waits[2].revents != 0 && !handleConsole()) {
            return 0;
        }
    }
}

void ServerLoop::readDatagrams() {
    std::string datagram;
    sockaddr_storage sender{};
    while (endpoint.receive(datagram, sender)) {
        if (const std::optional<uint8_t> answer = service.receive(datagram.data(), datagram.size(), sender)) {
            endpoint.reply(*answer, sender);
        }
    }
}

bool ServerLoop::handleSignals() {
    while (const int signal = signals.next()) {
        if (signal == SIGUSR1) {
            service.insertCoin("signal");
        } else if (signal == SIGHUP) {
            std::string error;
            if (!log.reopen(error)) {
                std::cerr << "margin-coin-server: cannot reopen the audit log: " << error << "\n";
            }
        } else {
            service.writeSummaries(true);
            log.write("stopped by " + std::string(strsignal(signal)) + ", credits " +
                      std::to_string(service.credits()));
            return false;
        }
    }
    return true;
}

bool ServerLoop::handleConsole() {
    for (const std::string& line : console.readLines()) {
        if (line == "q") {
            service.writeSummaries(true);
            log.write("stopped from the console, credits " + std::to_string(service.credits()));
            return false;
        }
        if (line == "s") {
            showCount();
            continue;
        }
        service.insertCoin("console");
        if (console.isTerminal()) {
            showCount();
        }
    }
    return true;
}

int ServerLoop::millisecondsToNextSummary() const {
    const std::optional<RefusalSummary::Clock::time_point> due = service.nextSummary();
    if (!due) {
        return -1;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - RefusalSummary::Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

void ServerLoop::showCount() const {
    std::cout << service.credits() << (service.credits() == 1 ? " credit" : " credits");
    if (service.ignoredDatagrams() > 0) {
        std::cout << ", " << service.ignoredDatagrams() << " datagrams ignored from other addresses";
    }
    std::cout << "." << std::endl;
}
