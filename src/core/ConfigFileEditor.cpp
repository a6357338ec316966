#include "core/ConfigFileEditor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/TextFile.h"

namespace {

// What a line sets: its value kind ('i' for "int" and "key", 'f', 's') and key; an empty
// key for comments, blanks and lines the loader would not store.
struct Setting {
    char kind = 0;
    std::string key;
};

Setting settingOf(const std::string& line) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string type;
    Setting setting;
    if (!(words >> type >> setting.key)) {
        return {};
    }
    if (type == "int" || type == "key") {
        setting.kind = 'i';
    } else if (type == "float") {
        setting.kind = 'f';
    } else if (type == "string") {
        setting.kind = 's';
    } else {
        return {};
    }
    return setting;
}

bool sameSetting(const Setting& a, const Setting& b) { return !a.key.empty() && a.kind == b.kind && a.key == b.key; }

// The new line with the old line's comment, at the comment's old column when it fits.
std::string withCommentOf(const std::string& old, const std::string& replacement) {
    const std::string::size_type hash = old.find('#');
    if (hash == std::string::npos) {
        return replacement;
    }
    const std::size_t column = std::max(replacement.size() + 1, static_cast<std::size_t>(hash));
    return replacement + std::string(column - replacement.size(), ' ') + old.substr(hash);
}

}  // namespace

std::vector<std::string> ConfigFileEditor::edit(const std::vector<std::string>& lines,
                                                const std::vector<std::string>& changes) {
    std::vector<std::string> edited = lines;
    for (const std::string& change : changes) {
        const Setting setting = settingOf(change);
        if (setting.key.empty()) {
            continue;
        }
        bool replaced = false;
        for (auto line = edited.rbegin(); line != edited.rend() && !replaced; ++line) {
            if (sameSetting(settingOf(*line), setting)) {
                *line = withCommentOf(*line, change);
                replaced = true;
            }
        }
        if (!replaced) {
            edited.push_back(change);
        }
    }
    return edited;
}

std::string ConfigFileEditor::apply(const std::string& path, const std::vector<std::string>& changes) {
    std::vector<std::string> lines;
    std::error_code error;
    // The game reads no more of a settings file than this; nor does it rewrite more.
    if (std::filesystem::file_size(path, error) > TextFile::MaxFileBytes && !error) {
        return "Could not save " + path + ": the file is too large to edit.";
    }
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(line);
        }
        if (in.bad()) {
            return "Could not save " + path + ": " + std::strerror(errno) + ".";
        }
    }
    std::string text;
    for (const std::string& line : edit(lines, changes)) {
        text += line;
        text += '\n';
    }
    return AtomicFile::replace(path, text);
}
