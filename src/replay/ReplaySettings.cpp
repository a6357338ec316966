#include "replay/ReplaySettings.h"

#include <cstdint>
#include <set>
#include <sstream>

#include "core/ControlNames.h"
#include "core/GameTuning.h"
#include "core/Settings.h"
#include "input/PadLayout.h"

namespace {

// Playback records nothing itself and asks no coin server.
const char* const kSilencedKeys[] = {"replayDirectory", "playReplay", "coin_host", "coin_port"};

// The keys that say which key, button, pad button or stick drives which control. They
// are "int" lines in a replay's header, as the settings store writes them.
const std::set<std::string>& bindingKeys() {
    static const std::set<std::string> keys = [] {
        std::set<std::string> names;
        for (const std::string player : {"1", "2"}) {
            for (const char* control : ControlNames::keys) names.insert("player" + player + control);
            const std::string stick = "joystickPlayer" + player;
            for (const char* button : ControlNames::buttons) names.insert(stick + button);
            for (const char* axis : {"", "xAxis", "yAxis", "xAxisFlip", "yAxisFlip"}) names.insert(stick + axis);
        }
        return names;
    }();
    return keys;
}

bool isPadKey(const std::string& key) {
    for (int player = 0; player < PadLayout::PlayerSlots; ++player) {
        for (int control = 0; control < 8; ++control) {
            if (key == PadLayout::settingsKey(player, control)) return true;
        }
    }
    return false;
}

std::vector<std::string> bindingLines(const std::vector<std::string>& lines) {
    std::vector<std::string> bindings;
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string type;
        std::string key;
        int32_t code = 0;
        if (words >> type >> key >> code && type == "int" && (bindingKeys().count(key) != 0 || isPadKey(key))) {
            bindings.push_back("int " + key + " " + std::to_string(code));
        }
    }
    return bindings;
}

}  // namespace

ReplaySettings::ReplaySettings(const ReplayFile& replay) : ownLines(Settings::instance().toLines()) {
    std::vector<std::string> lines = GameTuning::withTuning(ownLines, GameTuning::linesOf(replay.settings));
    // Later lines win: the recorded bindings replace this player's own.
    for (const std::string& line : bindingLines(replay.settings)) lines.push_back(line);
    lines.push_back(std::string("int arcade ") + (replay.arcade ? "1" : "0"));
    Settings& settings = Settings::instance();
    settings.replaceWith(lines);
    for (const char* key : kSilencedKeys) settings.setString(key, "");
}

ReplaySettings::~ReplaySettings() { restore(); }

std::vector<std::string> ReplaySettings::recordedLines() {
    Settings& settings = Settings::instance();
    std::vector<std::string> lines = GameTuning::linesOf(settings.toLines());
    // Every binding, the unset ones too: a key this player never bound did nothing here,
    // and must do nothing for a viewer who has bound it.
    for (const std::string& key : bindingKeys()) {
        lines.push_back("int " + key + " " + std::to_string(settings.getIntOr(key, 0)));
    }
    for (int player = 0; player < PadLayout::PlayerSlots; ++player) {
        for (int control = 0; control < 8; ++control) {
            lines.push_back("int " + PadLayout::settingsKey(player, control) + " " +
                            std::to_string(PadLayout::boundButton(settings, player, control)));
        }
    }
    return lines;
}

void ReplaySettings::restore() {
    if (!installed) return;
    installed = false;
    Settings::instance().replaceWith(ownLines);
}
