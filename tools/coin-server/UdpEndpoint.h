#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <string>

#include "FileDescriptor.h"

// A UDP socket bound to one local address and port.
class UdpEndpoint {
public:
    // Numeric IPv4 or IPv6 address; isOpen() false with the reason in error on failure.
    UdpEndpoint(const std::string& address, int port, std::string& error);

    bool isOpen() const { return socket.isOpen(); }
    int handle() const { return socket.get(); }

    // One waiting datagram; false when none is waiting.
    bool receive(std::string& datagram, sockaddr_storage& sender) const;
    void reply(uint8_t byte, const sockaddr_storage& sender) const;

private:
    FileDescriptor socket;
};
