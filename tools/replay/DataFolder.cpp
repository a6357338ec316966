#include "DataFolder.h"

#include <filesystem>

#include "core/ConfigLocations.h"

namespace fs = std::filesystem;

bool DataFolder::holdsData(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_directory(fs::path(folder) / "animations", error) &&
           fs::is_directory(fs::path(folder) / "levels", error);
}

std::string DataFolder::find(const std::string& executablePath) {
    for (const std::string& folder : {std::string("."), std::string("./data"),
                                      ConfigLocations::installedFolder(executablePath)}) {
        if (holdsData(folder)) {
            return folder;
        }
    }
    return "";
}
