#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The player's own settings file ($XDG_CONFIG_HOME/margin-brawler/config.dat), changed
// from the game's menus. A change is put in force in the settings store at once and
// written to the file, only its key's line added or replaced (ConfigFileEditor).
class PlayerConfig {
public:
    // An empty path keeps changes in the store only (tests, tools).
    explicit PlayerConfig(std::string path = "") : filePath(std::move(path)) {}

    struct Change {
        std::string key;
        int32_t value;
        // The line written: "int KEY VALUE" when empty; a key binding reads better as
        // "key player1Drop m".
        std::string fileLine;
    };

    // Puts the values in force and saves them in one replacement of the file. Empty when
    // saved (or not to be saved), else the reason, which has also gone to standard output.
    std::string set(const std::vector<Change>& changes);
    std::string set(const std::string& key, int32_t value) { return set({{key, value, ""}}); }

    // While a replay plays back its menu choices are put in force but never saved.
    void setSaving(bool on) { saving = on; }
    // Puts this run's changes back in force after the store was replaced (an online
    // game's settings give way to this machine's own again).
    void reapply() const;

    const std::string& path() const { return filePath; }

private:
    std::string filePath;
    bool saving = true;
    std::map<std::string, int32_t> changed;
};
