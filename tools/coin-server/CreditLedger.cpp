#include "CreditLedger.h"

#include <utility>

CreditLedger::CreditLedger(StateFile stateFile) : stateFile(std::move(stateFile)) {}

StateFile::Reading CreditLedger::restore() {
    const StateFile::Reading reading = stateFile.read();
    count = reading.credits;
    return reading;
}

bool CreditLedger::insertCoin(std::string& error) {
    ++count;
    return stateFile.write(count, error);
}

bool CreditLedger::useCredit(std::string& error) {
    if (count <= 0) {
        return false;
    }
    if (!stateFile.write(count - 1, error)) {
        return false;
    }
    --count;
    return true;
}
