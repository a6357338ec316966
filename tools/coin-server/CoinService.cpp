#include "CoinService.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace {

constexpr int64_t kLargestWireCount = 255;

}  // namespace

CoinService::CoinService(CreditLedger& ledger, AuditLog& log, AddressFilter filter)
    : ledger(ledger), log(log), filter(std::move(filter)) {}

std::string CoinService::countText() const { return "credits " + std::to_string(ledger.credits()); }

std::optional<uint8_t> CoinService::receive(const char* datagram, size_t size, const sockaddr_storage& sender) {
    if (!filter.allows(sender)) {
        if (ignored++ == 0) {
            std::cerr << "margin-coin-server: ignoring datagrams from " << AddressFilter::text(sender)
                      << " (not in --allow); further ones are only counted\n";
        }
        return std::nullopt;
    }
    if (size == 1 && datagram[0] == 'Q') {
        return static_cast<uint8_t>(std::min(ledger.credits(), kLargestWireCount));
    }
    if (size == 1 && datagram[0] == 'U') {
        useCredit(AddressFilter::text(sender));
        return std::nullopt;
    }
    ++unknown;
    return std::nullopt;
}

void CoinService::useCredit(const std::string& sender) {
    std::string error;
    if (ledger.useCredit(error)) {
        log.write("credit used by " + sender + ", " + countText());
    } else if (error.empty()) {
        log.write("credit refused to " + sender + ": none left, " + countText());
    } else {
        log.write("credit refused to " + sender + ": cannot store the count (" + error + "), " + countText());
    }
}

void CoinService::insertCoin(const std::string& source) {
    std::string error;
    if (ledger.insertCoin(error)) {
        log.write("coin inserted (" + source + "), " + countText());
    } else {
        log.write("coin inserted (" + source + ") but NOT STORED (" + error + "), " + countText());
    }
}
