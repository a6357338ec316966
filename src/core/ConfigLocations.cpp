#include "core/ConfigLocations.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "core/Settings.h"

namespace {

namespace fs = std::filesystem;

const char* const kFileName = "config.dat";
const char* const kDataDirectoryKey = "dataDirectory";

bool hasConfig(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_regular_file(fs::path(folder) / kFileName, error);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string executablePath() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? "" : path.string();
}

// XDG rules: a relative $XDG_CONFIG_HOME (or $XDG_STATE_HOME) is ignored in favour of
// the default under the home folder.
std::string xdgFolder(const char* variable, const char* underHome) {
    const std::string configured = environment(variable);
    if (!configured.empty() && configured.front() == '/') {
        return configured;
    }
    const std::string home = environment("HOME");
    return home.empty() ? "" : home + underHome;
}

std::string userConfigHome() { return xdgFolder("XDG_CONFIG_HOME", "/.config"); }

}  // namespace

ConfigLocations::ConfigLocations(std::string startDirectory, const std::string& executablePath,
                                 std::string userConfigHome)
    : startDirectory(std::move(startDirectory)),
      installed(installedFolder(executablePath)),
      userFolder(userConfigHome.empty() ? "" : userConfigHome + "/margin-brawler") {}

ConfigLocations ConfigLocations::forThisProcess() {
    return ConfigLocations(".", executablePath(), userConfigHome());
}

std::string ConfigLocations::userFolderForThisProcess() { return forThisProcess().userFolder; }

std::string ConfigLocations::installedFolder(const std::string& executablePath) {
    if (executablePath.empty()) {
        return "";
    }
    return (fs::path(executablePath).parent_path().parent_path() / "share" / "margin-brawler").string();
}

std::vector<ConfigLocations::Place> ConfigLocations::existingPlaces() const {
    std::vector<Place> places;
    if (hasConfig(startDirectory)) {
        places.push_back({startDirectory, true});
    } else if (hasConfig(installed)) {
        places.push_back({installed, false});
    }
    if (hasConfig(userFolder)) {
        places.push_back({userFolder, false});
    }
    return places;
}

std::string ConfigLocations::bundledConfigFile() const {
    for (const std::string& folder : {startDirectory, installed}) {
        if (hasConfig(folder)) {
            std::error_code error;
            const fs::path file = fs::path(folder) / kFileName;
            const fs::path full = fs::absolute(file, error);
            return (error ? file : full.lexically_normal()).string();
        }
    }
    return "";
}

std::string ConfigLocations::userConfigFile() const {
    return userFolder.empty() ? "" : (fs::path(userFolder) / kFileName).string();
}

std::string ConfigLocations::userStateFolder() {
    const std::string state = xdgFolder("XDG_STATE_HOME", "/.local/state");
    return state.empty() ? "" : state + "/margin-brawler";
}

std::vector<std::string> ConfigLocations::existingFiles() const {
    std::vector<std::string> files;
    for (const Place& place : existingPlaces()) {
        files.push_back((fs::path(place.folder) / kFileName).string());
    }
    return files;
}

std::string ConfigLocations::announcement() const {
    const std::vector<std::string> files = existingFiles();
    if (files.empty()) {
        return "No settings file found; every setting starts at 0.";
    }
    std::string line = "Settings read from ";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) {
            line += i + 1 == files.size() ? " and " : ", ";
        }
        std::error_code error;
        const fs::path full = fs::absolute(files[i], error);
        line += (error ? fs::path(files[i]) : full.lexically_normal()).string();
    }
    return line + ".";
}

std::string ConfigLocations::load(Settings& settings) const {
    std::string dataDirectory = settings.getString(kDataDirectoryKey);
    for (const Place& place : existingPlaces()) {
        // Cleared first, so that afterwards the key tells whether this file set it (a
        // "string" line never stores an empty value).
        settings.setString(kDataDirectoryKey, "");
        settings.load((fs::path(place.folder) / kFileName).string());
        const std::string named = settings.getString(kDataDirectoryKey);
        if (named.empty()) {
            settings.setString(kDataDirectoryKey, dataDirectory);
        } else if (place.keepRelative || named.front() == '/') {
            dataDirectory = named;
        } else {
            dataDirectory = (fs::path(place.folder) / named).string();
        }
    }
    return dataDirectory;
}
