#pragma once

#include <string>
#include <vector>

class Settings;

// The three places settings come from, in loading order:
//   1. "config.dat" in the starting directory, or, when there is none, the installed
//      copy beside the game's data (<executable folder>/../share/margin-brawler);
//   2. the player's own $XDG_CONFIG_HOME/margin-brawler/config.dat (default
//      ~/.config/...), loaded last so it overrides keys without copying the data.
// A relative `dataDirectory` is taken relative to the folder of the file that set it;
// from the starting directory that is the starting directory itself, as always.
class ConfigLocations {
public:
    // startDirectory may be relative ("." for the working directory); an empty
    // executablePath or userConfigHome leaves that place out.
    ConfigLocations(std::string startDirectory, const std::string& executablePath, std::string userConfigHome);

    // The working directory, /proc/self/exe and $XDG_CONFIG_HOME (or $HOME/.config).
    static ConfigLocations forThisProcess();

    // The files that exist, in the order they are loaded.
    std::vector<std::string> existingFiles() const;

    // One line naming every file load reads, by its full path ("Settings read from A and
    // B."), so a config.dat that arrived with something unpacked in the starting
    // directory shows at once.
    std::string announcement() const;

    // Loads every existing file into the store and answers the data directory to change
    // into (empty when no file names one).
    std::string load(Settings& settings) const;

    // This player's own folder, $XDG_CONFIG_HOME/margin-brawler (default ~/.config/...);
    // empty when neither variable says where home is.
    static std::string userFolderForThisProcess();

    // Where a packaged installation keeps its data and settings, beside its executable.
    static std::string installedFolder(const std::string& executablePath);

    // The settings file the game ships with (the first of the places above that exists),
    // by its full path as seen from the working directory now; empty when there is none.
    std::string bundledConfigFile() const;
    // The player's own file, which the options menu writes (it need not exist yet);
    // empty without a home folder.
    std::string userConfigFile() const;
    // The per-user state folder: $XDG_STATE_HOME/margin-brawler (default
    // ~/.local/state/margin-brawler); empty without a home folder.
    static std::string userStateFolder();

private:
    struct Place {
        std::string folder;
        bool keepRelative;  // the starting directory: dataDirectory is used as written
    };
    std::vector<Place> existingPlaces() const;

    std::string startDirectory;
    std::string installed;
    std::string userFolder;
};
