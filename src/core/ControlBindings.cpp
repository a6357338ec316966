#include "core/ControlBindings.h"

#include <map>

#include "core/ControlNames.h"
#include "core/KeyNames.h"
#include "core/Settings.h"
#include "input/PadLayout.h"

namespace {

constexpr int kPerPlayer = 8;

}  // namespace

std::string ControlBindings::keySetting(int control) {
    return "player" + std::to_string(control / kPerPlayer + 1) + ControlNames::keys[control % kPerPlayer];
}

std::string ControlBindings::padSetting(int control) {
    return PadLayout::settingsKey(control / kPerPlayer, control % kPerPlayer);
}

ControlBindings ControlBindings::inForce() {
    Settings& settings = Settings::instance();
    ControlBindings bindings;
    for (int c = 0; c < Count; ++c) {
        bindings.keys[c] = settings.getIntOr(keySetting(c), 0);
        bindings.pads[c] = PadLayout::boundButton(settings, c / kPerPlayer, c % kPerPlayer);
    }
    return bindings;
}

ControlBindings ControlBindings::bundled(const std::string& bundledConfigFile, const ControlBindings& unshipped) {
    const std::map<std::string, int32_t> file =
        bundledConfigFile.empty() ? std::map<std::string, int32_t>{} : Settings::integersIn(bundledConfigFile);
    const auto valueOr = [&file](const std::string& key, int fallback) {
        const auto found = file.find(key);
        return found != file.end() ? found->second : fallback;
    };
    ControlBindings bindings;
    for (int c = 0; c < Count; ++c) {
        bindings.keys[c] = valueOr(keySetting(c), unshipped.keys[c]);
        bindings.pads[c] = valueOr(padSetting(c), PadLayout::bindings[c % kPerPlayer].defaultButton);
    }
    return bindings;
}

PlayerConfig::Change ControlBindings::keyChange(int control) const {
    return {keySetting(control), keys[control], KeyNames::settingsLine(keySetting(control), keys[control])};
}

PlayerConfig::Change ControlBindings::padChange(int control) const {
    return {padSetting(control), pads[control], ""};
}

std::vector<PlayerConfig::Change> ControlBindings::bindKey(int control, int key) {
    std::vector<PlayerConfig::Change> changes;
    if (keys[control] == key) return changes;
    for (int other = 0; other < Count; ++other) {
        if (other != control && keys[other] == key) {
            keys[other] = keys[control];
            changes.push_back(keyChange(other));
        }
    }
    keys[control] = key;
    changes.push_back(keyChange(control));
    return changes;
}

std::vector<PlayerConfig::Change> ControlBindings::bindPadButton(int control, int button) {
    std::vector<PlayerConfig::Change> changes;
    if (pads[control] == button) return changes;
    const int first = control - control % kPerPlayer;
    for (int other = first; other < first + kPerPlayer; ++other) {
        if (other != control && pads[other] == button) {
            pads[other] = pads[control];
            changes.push_back(padChange(other));
        }
    }
    pads[control] = button;
    changes.push_back(padChange(control));
    return changes;
}

std::vector<PlayerConfig::Change> ControlBindings::takeOver(const ControlBindings& other) {
    std::vector<PlayerConfig::Change> changes;
    for (int c = 0; c < Count; ++c) {
        if (keys[c] != other.keys[c]) {
            keys[c] = other.keys[c];
            changes.push_back(keyChange(c));
        }
        if (pads[c] != other.pads[c]) {
            pads[c] = other.pads[c];
            changes.push_back(padChange(c));
        }
    }
    return changes;
}
