#pragma once

#include <cstdint>
#include <string>

#include "StateFile.h"

// The paid credits. Every change is stored in the state file before it is reported, so
// a count that was announced (logged, answered) survives a crash or a power cut.
class CreditLedger {
public:
    explicit CreditLedger(StateFile stateFile);

    // Reads the stored count; see StateFile::read for a damaged file.
    StateFile::Reading restore();

    // A paid coin. False when the new count could not be stored (error says why); the
    // coin still counts while the server runs.
    bool insertCoin(std::string& error);
    // Spends one credit; false with nothing changed when there is none (or when the
    // change could not be stored, with error set).
    bool useCredit(std::string& error);

    int64_t credits() const { return count; }
    const StateFile& state() const { return stateFile; }

private:
    StateFile stateFile;
    int64_t count = 0;
};
