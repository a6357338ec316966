#include "net/OnlineSettings.h"

#include <algorithm>
#include <sstream>

#include "core/Settings.h"
#include "net/OnlineControls.h"
#include "replay/ReplayPlayer.h"

namespace {

// Besides the machine keys a replay keeps: where this player records, and how this
// player reached the game.
const char* const kOwnKeys[] = {"replayDirectory", "online", "onlineHost", "onlinePort", "onlineDelay"};

bool isOwnLine(const std::string& line) {
    std::istringstream words(line);
    std::string type;
    std::string key;
    words >> type >> key;
    return std::find(std::begin(kOwnKeys), std::end(kOwnKeys), key) != std::end(kOwnKeys);
}

}  // namespace

OnlineSettings::OnlineSettings() : ownLines(Settings::instance().toLines()) {}

OnlineSettings::~OnlineSettings() {
    if (installed) Settings::instance().replaceWith(ownLines);
}

void OnlineSettings::install(const std::vector<std::string>& hostLines) {
    // The host's description of its own machine is no business of this one.
    const std::vector<std::string> hostMachine = ReplayPlayer::machineLines(hostLines);
    std::vector<std::string> lines;
    for (const std::string& line : hostLines) {
        const bool machine = std::find(hostMachine.begin(), hostMachine.end(), line) != hostMachine.end();
        if (!machine && !isOwnLine(line)) lines.push_back(line);
    }
    for (const std::string& line : ReplayPlayer::machineLines(ownLines)) lines.push_back(line);
    for (const std::string& line : ownLines) {
        if (isOwnLine(line)) lines.push_back(line);
    }
    for (const std::string& line : OnlineControls::bindingLines()) lines.push_back(line);
    Settings::instance().replaceWith(lines);
    installed = true;
}
