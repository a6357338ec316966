#include "CoinService.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <utility>

namespace {

constexpr int64_t kLargestWireCount = 255;
// How often, at most, a flood of refused credits writes its summary.
constexpr std::chrono::minutes kRefusalSpell{1};

}  // namespace

CoinService::CoinService(CreditLedger& ledger, AuditLog& log, AddressFilter filter)
    : ledger(ledger), log(log), filter(std::move(filter)), refusals(kRefusalSpell) {}

std::string CoinService::countText() const { return countText(ledger.credits()); }

std::string CoinService::countText(int64_t credits) const { return "credits " + std::to_string(credits); }

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
    const CreditLedger::Use use = ledger.useCredit(
        [&](int64_t credits) { return log.write("credit used by " + sender + ", " + countText(credits)); }, error);
    if (use == CreditLedger::Use::SpentButNotStored) {
        std::cerr << "margin-coin-server: a credit used by " << sender << " is NOT STORED (" << error
                  << "): a restart would give it back\n";
        log.write("credit used by " + sender + " but NOT STORED (" + error + "), " + countText());
    } else if (use == CreditLedger::Use::NoneLeft && refusals.note(sender, RefusalSummary::Clock::now())) {
        log.write("credit refused to " + sender + ": none left, " + countText());
    }
}

void CoinService::insertCoin(const std::string& source) {
    std::string error;
    if (ledger.insertCoin(
            [&](int64_t credits) { return log.write("coin inserted (" + source + "), " + countText(credits)); },
            error)) {
        return;
    }
    std::cerr << "margin-coin-server: COIN REFUSED (" << source << "), not counted: " << error << "; "
              << countText() << "\n";
    log.write("coin REFUSED (" + source + "), not counted: " + error + ", " + countText());
}

void CoinService::writeSummaries(bool stopping) {
    const auto now = stopping ? RefusalSummary::Clock::time_point::max() : RefusalSummary::Clock::now();
    if (const std::optional<std::string> line = refusals.due(now)) {
        log.write(*line + ", " + countText());
    }
}
