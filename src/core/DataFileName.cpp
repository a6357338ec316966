#include "core/DataFileName.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLongestName = 255;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

}  // namespace

bool DataFileName::isLevelName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName || name.find("..") != std::string::npos) return false;
    for (const char c : name) {
        if (isControl(c) || c == ' ' || c == '/' || c == '\\') return false;
    }
    return true;
}

bool DataFileName::isDataPath(const std::string& path) {
    if (path.empty() || path.front() == '/') return false;
    for (const char c : path) {
        if (isControl(c)) return false;
    }
    std::string::size_type start = 0;
    while (start <= path.size()) {
        const std::string::size_type end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "..") return false;
        start = end + 1;
    }
    return true;
}

bool DataFileName::isRegularFileInside(const std::string& path) {
    std::error_code error;
    const fs::path base = fs::canonical(fs::current_path(error), error);
    if (error) return false;
    const fs::path target = fs::canonical(path, error);
    if (error || !fs::is_regular_file(target, error)) return false;
    const fs::path inside = target.lexically_relative(base);
    return !inside.empty() && *inside.begin() != "..";
}

std::string DataFileName::printable(const std::string& name) {
    std::string shown = name;
    for (char& c : shown) {
        if (isControl(c)) c = '?';
    }
    return shown;
}
