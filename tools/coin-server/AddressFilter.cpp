#include "AddressFilter.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

AddressFilter::Address mapped(const in_addr& ipv4) {
    AddressFilter::Address address{};
    address[10] = 0xff;
    address[11] = 0xff;
    std::memcpy(address.data() + 12, &ipv4, 4);
    return address;
}

std::optional<AddressFilter::Address> parseOne(const std::string& text) {
    in_addr ipv4{};
    if (inet_pton(AF_INET, text.c_str(), &ipv4) == 1) {
        return mapped(ipv4);
    }
    in6_addr ipv6{};
    if (inet_pton(AF_INET6, text.c_str(), &ipv6) == 1) {
        AddressFilter::Address address{};
        std::memcpy(address.data(), &ipv6, 16);
        return address;
    }
    return std::nullopt;
}

}  // namespace

std::optional<AddressFilter> AddressFilter::parse(const std::string& list, std::string& error) {
    AddressFilter filter;
    std::istringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, ',')) {
        const std::optional<Address> address = parseOne(entry);
        if (!address) {
            error = "not a numeric IP address: \"" + entry + "\"";
            return std::nullopt;
        }
        filter.allowed.push_back(*address);
    }
    return filter;
}

AddressFilter::Address AddressFilter::addressOf(const sockaddr_storage& sender) {
    if (sender.ss_family == AF_INET) {
        return mapped(reinterpret_cast<const sockaddr_in&>(sender).sin_addr);
    }
    Address address{};
    if (sender.ss_family == AF_INET6) {
        std::memcpy(address.data(), &reinterpret_cast<const sockaddr_in6&>(sender).sin6_addr, 16);
    }
    return address;
}

bool AddressFilter::allows(const sockaddr_storage& sender) const {
    return allowed.empty() || std::find(allowed.begin(), allowed.end(), addressOf(sender)) != allowed.end();
}

std::string AddressFilter::text(const sockaddr_storage& sender) {
    const Address address = addressOf(sender);
    char text[INET6_ADDRSTRLEN] = "";
    const Address prefix = mapped(in_addr{});
    if (std::equal(address.begin(), address.begin() + 12, prefix.begin())) {
        inet_ntop(AF_INET, address.data() + 12, text, sizeof text);
    } else {
        inet_ntop(AF_INET6, address.data(), text, sizeof text);
    }
    return text;
}
