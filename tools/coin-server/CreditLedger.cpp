#include "CreditLedger.h"

#include <utility>

CreditLedger::CreditLedger(StateFile stateFile) : stateFile(std::move(stateFile)) {}

StateFile::Reading CreditLedger::restore() {
    const StateFile::Reading reading = stateFile.read();
    count = reading.credits;
    return reading;
}

bool CreditLedger::insertCoin(const Record& record, std::string& error) {
    if (!stateFile.prepare(count + 1, error)) {
        return false;
    }
    if (!record(count + 1)) {
        stateFile.abandon();
        error = "cannot write the audit log";
        return false;
    }
    if (!stateFile.commit(error)) {
        return false;
    }
    ++count;
    return true;
}

CreditLedger::Use CreditLedger::useCredit(const Record& record, std::string& error) {
    if (count <= 0) {
        return Use::NoneLeft;
    }
    --count;
    if (!stateFile.prepare(count, error)) {
        return Use::SpentButNotStored;
    }
    // A missing audit line is reported by the log itself; the lower count is stored
    // regardless, so a restart cannot give the credit back.
    record(count);
    return stateFile.commit(error) ? Use::Spent : Use::SpentButNotStored;
}
