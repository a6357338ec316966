#include "audio/SoundLedger.h"

#include <algorithm>

void SoundLedger::beginTick(int tick) { current = tick; }

bool SoundLedger::shouldStart(const std::string& name) {
    const auto recurring = std::find(takenBack.begin(), takenBack.end(), name);
    const bool recurs = recurring != takenBack.end();
    if (recurs) takenBack.erase(recurring);
    started.emplace_back(current, name);
    if (started.size() > MostRecorded) started.pop_front();
    return !recurs;
}

void SoundLedger::takeBack(int tick) {
    rerunFrom = takenBack.empty() ? tick : std::min(rerunFrom, tick);
    while (!started.empty() && started.back().first >= tick) {
        takenBack.push_back(std::move(started.back().second));
        started.pop_back();
    }
}

std::vector<std::string> SoundLedger::settle() {
    std::vector<std::string> gone;
    for (std::string& name : takenBack) {
        // One source per name: a name the re-run started again sounds on, however often
        // it was taken back, and one stop silences every copy of the others.
        const bool soundsAgain = std::any_of(started.begin(), started.end(), [&](const auto& entry) {
            return entry.first >= rerunFrom && entry.second == name;
        });
        if (!soundsAgain && std::find(gone.begin(), gone.end(), name) == gone.end()) gone.push_back(std::move(name));
    }
    takenBack.clear();
    return gone;
}

void SoundLedger::forgetBefore(int tick) {
    while (!started.empty() && started.front().first < tick) started.pop_front();
}
