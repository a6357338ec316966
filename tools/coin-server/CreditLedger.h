#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "StateFile.h"

// The paid credits. A change is flushed to the disk, then recorded (the audit line), and
// only then put in place and reported, so a count that was announced (logged, answered)
// survives a crash or a power cut and every stored coin has its line in the log.
class CreditLedger {
public:
    explicit CreditLedger(StateFile stateFile);

    // Reads the stored count; see StateFile::read for a damaged file.
    StateFile::Reading restore();

    // Writes the audit line of a change, given the count after it; false when the line
    // could not be written.
    using Record = std::function<bool(int64_t credits)>;

    // A paid coin. It counts only once it is stored and recorded; otherwise (error says
    // why) the count stays as it was and the coin must be refused.
    bool insertCoin(const Record& record, std::string& error);

    enum class Use { Spent, SpentButNotStored, NoneLeft };
    // A credit the game has already handed out. It comes off the count even when the
    // disk will not take it (SpentButNotStored, error says why): the same credit must
    // never be sold twice. NoneLeft changes nothing.
    Use useCredit(const Record& record, std::string& error);

    int64_t credits() const { return count; }
    const StateFile& state() const { return stateFile; }

private:
    StateFile stateFile;
    int64_t count = 0;
};
