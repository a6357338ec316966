#include "net/OnlineSettings.h"

#include "core/GameTuning.h"
#include "core/Settings.h"
#include "net/OnlineControls.h"

OnlineSettings::OnlineSettings() : ownLines(Settings::instance().toLines()) {}

OnlineSettings::~OnlineSettings() { restore(); }

std::vector<std::string> OnlineSettings::tuning() const { return GameTuning::linesOf(ownLines); }

void OnlineSettings::install(const std::vector<std::string>& hostTuning) {
    std::vector<std::string> lines = GameTuning::withTuning(ownLines, GameTuning::linesOf(hostTuning));
    // Later lines win: the session's bindings replace this player's own.
    for (const std::string& line : OnlineControls::bindingLines()) lines.push_back(line);
    Settings::instance().replaceWith(lines);
    installed = true;
}

void OnlineSettings::restore() {
    if (!installed) return;
    installed = false;
    Settings::instance().replaceWith(ownLines);
}
