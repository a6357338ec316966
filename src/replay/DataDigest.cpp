#include "replay/DataDigest.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// A level's "boss" lines name its boss and say what it wears; they change only what is
// shown, so they are left out (line end included) and naming a boss keeps every replay
// and every peer of the level as it was. Every other byte counts.
class LevelBytes {
public:
    explicit LevelBytes(bool level) : level(level) {}

    template <typename Take>
    void feed(char c, Take take) {
        if (!level || state == State::Counting) {
            take(c);
        } else if (state == State::Skipping) {
            // Nothing of a boss line counts.
        } else if (isSpace(c) && c != '\n' && word.empty()) {
            pending += c;
            return;
        } else if (!isSpace(c) && c != '#' && word.size() < 4) {
            pending += c;
            word += c;
            return;
        } else if (word == "boss" && (isSpace(c) || c == '#')) {
            state = State::Skipping;
        } else {
            for (const char held : pending) take(held);
            take(c);
            state = State::Counting;
        }
        if (c == '\n') {
            state = State::LineStart;
            pending.clear();
            word.clear();
        }
    }
    // The end of the file: a last line that never finished its first word counts.
    template <typename Take>
    void finish(Take take) {
        if (state == State::LineStart && word != "boss") {
            for (const char held : pending) take(held);
        }
    }

private:
    enum class State { LineStart, Counting, Skipping };
    bool level;
    State state = State::LineStart;
    std::string pending;  // the line's first bytes, until its first word is known
    std::string word;
};

bool isLevel(const std::string& name) { return name.rfind("levels/", 0) == 0; }

// `name` is the file's name inside the data folder; `path` where to read it.
std::string digestOf(const std::string& path, const std::string& name) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "";
    uint64_t hash = 14695981039346656037ull;
    const auto take = [&hash](char c) { hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull; };
    LevelBytes bytes(isLevel(name));
    for (std::istreambuf_iterator<char> it(file), end; it != end; ++it) {
        bytes.feed(*it, take);
    }
    bytes.finish(take);
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
            files.push_back({name, digestOf(name, name)});
        }
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return files;
}

std::string DataDigest::mismatch(const std::vector<ReplayFile::DataFile>& recorded, const std::string& folder) {
    for (const ReplayFile::DataFile& file : recorded) {
        const std::string now = digestOf(folder + "/" + file.name, file.name);
        if (now.empty()) return "the data file " + file.name + " is missing";
        if (now != file.digest) return "the data file " + file.name + " differs from the one recorded";
    }
    return "";
}
