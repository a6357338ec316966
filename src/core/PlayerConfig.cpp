#include "core/PlayerConfig.h"

#include <iostream>

#include "core/ConfigFileEditor.h"
#include "core/Settings.h"

std::string PlayerConfig::set(const std::vector<Change>& changes) {
    std::vector<std::string> lines;
    for (const Change& change : changes) {
        Settings::instance().setInt(change.key, change.value);
        // What a watched replay chose is no change of the player's.
        if (saving) changed[change.key] = change.value;
        lines.push_back(change.fileLine.empty() ? "int " + change.key + " " + std::to_string(change.value)
                                                : change.fileLine);
    }
    if (filePath.empty() || !saving || lines.empty()) {
        return "";
    }
    const std::string problem = ConfigFileEditor::apply(filePath, lines);
    if (!problem.empty()) {
        std::cout << problem << "\n";
    }
    return problem;
}

void PlayerConfig::reapply() const {
    Settings& settings = Settings::instance();
    for (const auto& [key, value] : changed) {
        settings.setInt(key, value);
    }
}
