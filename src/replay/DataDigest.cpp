#include "replay/DataDigest.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Folders whose files change play; only the cutscene scripts count, not their pictures.
struct Folder {
    const char* name;
    const char* extension;  // empty: every file
};
const Folder kPlayFolders[] = {{"animations", ""}, {"cutscenes", ".dat"}, {"levels", ""}};

// Levels and cutscenes are named by one word in level files and replays, and the
// animations by fixed names: a file whose name has a space or a control character can
// never be loaded, so it does not decide play, and a replay lists its files one word each.
bool isOneWord(const std::string& name) {
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; });
}

std::string digestOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "";
    uint64_t hash = 14695981039346656037ull;
    for (std::istreambuf_iterator<char> it(file), end; it != end; ++it) {
        hash = (hash ^ static_cast<unsigned char>(*it)) * 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

std::vector<ReplayFile::DataFile> DataDigest::current() {
    std::vector<ReplayFile::DataFile> files;
    for (const Folder& folder : kPlayFolders) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder.name, error)) {
            const std::string extension = folder.extension;
            if (!entry.is_regular_file() || (!extension.empty() && entry.path().extension() != extension)) continue;
            const std::string fileName = entry.path().filename().string();
            if (!isOneWord(fileName)) continue;
            const std::string name = std::string(folder.name) + "/" + fileName;
            files.push_back({name, digestOf(name)});
        }
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return files;
}

std::string DataDigest::mismatch(const std::vector<ReplayFile::DataFile>& recorded, const std::string& folder) {
    for (const ReplayFile::DataFile& file : recorded) {
        const std::string now = digestOf(folder + "/" + file.name);
        if (now.empty()) return "the data file " + file.name + " is missing";
        if (now != file.digest) return "the data file " + file.name + " differs from the one recorded";
    }
    return "";
}
