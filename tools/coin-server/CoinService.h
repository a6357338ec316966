#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

#include "AddressFilter.h"
#include "AuditLog.h"
#include "CreditLedger.h"

// What the coin server does with coins and datagrams, apart from the sockets: "Q" is
// answered with the credit count in one byte (capped at 255), "U" spends a credit or is
// refused when there is none, a coin adds one. Every coin, credit used and refusal goes
// into the audit log after the ledger has stored it.
class CoinService {
public:
    CoinService(CreditLedger& ledger, AuditLog& log, AddressFilter filter);

    // The answer to send back, if any.
    std::optional<uint8_t> receive(const char* datagram, size_t size, const sockaddr_storage& sender);

    // source says where the coin came from ("console", "signal", ...).
    void insertCoin(const std::string& source);

    int64_t credits() const { return ledger.credits(); }
    // Datagrams dropped because their sender is not allowed.
    long ignoredDatagrams() const { return ignored; }
    // Datagrams from allowed senders that are neither "Q" nor "U".
    long unknownDatagrams() const { return unknown; }

private:
    void useCredit(const std::string& sender);
    std::string countText() const;

    CreditLedger& ledger;
    AuditLog& log;
    const AddressFilter filter;
    long ignored = 0;
    long unknown = 0;
};
