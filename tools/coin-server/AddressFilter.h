#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The machines allowed to ask for and spend credits. An empty list allows every sender;
// IPv4 addresses also match their IPv4-mapped IPv6 form.
class AddressFilter {
public:
    using Address = std::array<uint8_t, 16>;

    // Parses "ADDR[,ADDR...]" of numeric IPv4 or IPv6 addresses; nullopt (with the bad
    // entry named in error) when one is not an address.
    static std::optional<AddressFilter> parse(const std::string& list, std::string& error);

    bool allows(const sockaddr_storage& sender) const;

    // The sender in the IPv6 form the filter compares; IPv4 becomes ::ffff:a.b.c.d.
    static Address addressOf(const sockaddr_storage& sender);
    // Dotted IPv4 where the address is one, else IPv6 text.
    static std::string text(const sockaddr_storage& sender);

private:
    std::vector<Address> allowed;
};
