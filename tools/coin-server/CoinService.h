#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

#include "AddressFilter.h"
#include "AuditLog.h"
#include "CreditLedger.h"
#include "RefusalSummary.h"

// What the coin server does with coins and datagrams, apart from the sockets: "Q" is
// answered with the credit count in one byte (capped at 255), "U" spends a credit or is
// refused when there is none, a coin adds one. A coin is counted only once it is stored
// and its audit line written; one that cannot be is refused loudly on standard error.
// Refusals for want of credits are summarised rather than logged one by one.
class CoinService {
public:
    CoinService(CreditLedger& ledger, AuditLog& log, AddressFilter filter);

    // The answer to send back, if any.
    std::optional<uint8_t> receive(const char* datagram, size_t size, const sockaddr_storage& sender);

    // source says where the coin came from ("console", "signal", ...).
    void insertCoin(const std::string& source);

    // Writes the summary of refusals whose time has come; all of them when stopping.
    void writeSummaries(bool stopping);
    // When writeSummaries next has something to write; nullopt while nothing waits.
    std::optional<RefusalSummary::Clock::time_point> nextSummary() const { return refusals.nextDue(); }

    int64_t credits() const { return ledger.credits(); }
    // Datagrams dropped because their sender is not allowed.
    long ignoredDatagrams() const { return ignored; }
    // Datagrams from allowed senders that are neither "Q" nor "U".
    long unknownDatagrams() const { return unknown; }

private:
    void useCredit(const std::string& sender);
    std::string countText() const;
    std::string countText(int64_t credits) const;

    CreditLedger& ledger;
    AuditLog& log;
    const AddressFilter filter;
    RefusalSummary refusals;
    long ignored = 0;
    long unknown = 0;
};
