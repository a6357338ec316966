#include "core/Settings.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>

#include "core/ConsoleProblems.h"
#include "core/TextFile.h"

namespace {

struct NamedKey {
    const char* name;
    int32_t code;
};

const NamedKey kNamedKeys[] = {
    {"up", 357}, {"down", 359}, {"left", 356}, {"right", 358},
    {"space", 32}, {"tab", 9}, {"escape", 27},
};

}  // namespace

Settings& Settings::instance() {
    static Settings store;
    return store;
}

void Settings::clear() {
    ++changes;
    strings.clear();
    integers.clear();
    floats.clear();
    reportedOutOfRange.clear();
}

int32_t Settings::keyCode(const std::string& keyName) {
    if (keyName.size() == 1) {
        return static_cast<signed char>(keyName[0]);
    }
    std::string lower = keyName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const NamedKey& named : kNamedKeys) {
        if (lower == named.name) {
            return named.code;
        }
    }
    return 0;
}

std::string Settings::keyOfLine(const std::string& line) {
    std::istringstream words(line);
    std::string type;
    std::string key;
    words >> type >> key;
    return key;
}

void Settings::load(const std::string& fileName) {
    ConsoleProblems console;
    load(fileName, console);
}

void Settings::load(const std::string& fileName, ProblemSink& problems) {
    ++changes;
    TextFile file(fileName, problems);
    std::string line;
    while (file.readLine(line)) {
        const std::string::size_type hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        parseLine(line, file.path(), file.lineNumber(), problems);
    }
}

void Settings::parseLine(const std::string& line, const std::string& path, int at, ProblemSink& problems) {
    std::istringstream words(line);
    std::string type;
    if (!(words >> type)) {
        return;
    }
    std::string key;
    if (type == "int") {
        words >> key;
        int32_t& slot = integers[key];
        int32_t value = 0;
        if (words >> value) {
            slot = value;
        } else {
            problems.report({path, at, "'" + key + "' needs a whole number"});
        }
    } else if (type == "float") {
        words >> key;
        float& slot = floats[key];
        float value = 0.0f;
        if (words >> value) {
            slot = value;
        } else {
            problems.report({path, at, "'" + key + "' needs a number"});
        }
    } else if (type == "key") {
        words >> key;
        std::string keyName;
        integers[key] = (words >> keyName) ? keyCode(keyName) : 0;
        if (integers[key] == 0) {
            problems.report({path, at, "'" + key + "' needs a key: one character or up, down, left, right, space, tab, escape"});
        }
    } else if (type == "string") {
        words >> key;
        std::string rest;
        if (words) {
            std::getline(words, rest);
        }
        // Only the single separator after the key is dropped; inner and trailing
        // spaces belong to the value.
        if (rest.size() > 1) {
            strings[key] = rest.substr(1);
        } else {
            problems.report({path, at, "'" + key + "' has no text"});
        }
    } else {
        problems.report({path, at, "unknown line kind '" + type + "'", DataProblem::Console::Out,
                                "Unrecognized line: " + line});
    }
}

int32_t Settings::getInt(const std::string& key) { return integers[key]; }

int32_t Settings::getIntOr(const std::string& key, int32_t fallback) const {
    const auto found = integers.find(key);
    return found != integers.end() ? found->second : fallback;
}

std::map<std::string, int32_t> Settings::integersIn(const std::string& fileName) {
    class Quiet : public ProblemSink {
    public:
        void report(const DataProblem&) override {}
    } quiet;
    Settings scratch;
    scratch.load(fileName, quiet);
    return scratch.integers;
}

float Settings::getFloat(const std::string& key) { return floats[key]; }

std::string Settings::getString(const std::string& key) { return strings[key]; }

std::vector<std::string> Settings::toLines() const {
    std::vector<std::string> lines;
    // A line without a key leaves an empty one behind, which cannot be written back; an
    // empty string reads the same as an absent one.
    for (const auto& [key, value] : integers) {
        if (!key.empty()) lines.push_back("int " + key + " " + std::to_string(value));
    }
    for (const auto& [key, value] : floats) {
        if (key.empty()) continue;
        std::ostringstream line;
        line << "float " << key << " " << std::setprecision(std::numeric_limits<float>::max_digits10) << value;
        lines.push_back(line.str());
    }
    for (const auto& [key, value] : strings) {
        if (!key.empty() && !value.empty()) lines.push_back("string " + key + " " + value);
    }
    return lines;
}

void Settings::replaceWith(const std::vector<std::string>& lines) {
    clear();
    ConsoleProblems console;
    int at = 0;
    for (const std::string& line : lines) {
        parseLine(line, "replay settings", ++at, console);
    }
}

namespace {

// Clamps a value into [lowest, highest] (NaN to the bound nearest 0) and says so the
// first time a key is out of range.
template <typename Value>
Value clampOnce(std::set<std::string>& reported, const std::string& key, Value value, Value lowest, Value highest) {
    const bool isNan = value != value;
    const Value used = std::clamp(isNan ? Value{0} : value, lowest, highest);
    if ((isNan || used != value) && reported.insert(key).second) {
        std::cout << "Setting " << key << " " << value << " is out of range; using " << used << ".\n";
    }
    return used;
}

}  // namespace

int32_t Settings::getIntWithin(const std::string& key, IntLimits limits) {
    return clampOnce(reportedOutOfRange, key, getInt(key), limits.lowest, limits.highest);
}

float Settings::getFloatWithin(const std::string& key, FloatLimits limits) {
    return clampOnce(reportedOutOfRange, key, getFloat(key), limits.lowest, limits.highest);
}
