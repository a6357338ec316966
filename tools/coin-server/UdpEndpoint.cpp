#include "UdpEndpoint.h"

#include <netdb.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>
#include <memory>

UdpEndpoint::UdpEndpoint(const std::string& address, int port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) {
        error = "cannot use the address " + address + ": " + gai_strerror(resolved);
        return;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, freeaddrinfo);
    FileDescriptor opened(::socket(found->ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!opened.isOpen() || bind(opened.get(), found->ai_addr, found->ai_addrlen) != 0) {
        error = "cannot serve UDP on " + address + " port " + std::to_string(port) + ": " + std::strerror(errno);
        return;
    }
    socket = std::move(opened);
}

bool UdpEndpoint::receive(std::string& datagram, sockaddr_storage& sender) const {
    char buffer[512];
    socklen_t length = sizeof sender;
    const ssize_t size = recvfrom(socket.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &length);
    if (size < 0) {
        return false;
    }
    datagram.assign(buffer, static_cast<size_t>(size));
    return true;
}

void UdpEndpoint::reply(uint8_t byte, const sockaddr_storage& sender) const {
    const socklen_t length = sender.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    sendto(socket.get(), &byte, 1, 0, reinterpret_cast<const sockaddr*>(&sender), length);
}
