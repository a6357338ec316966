#include "StateFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "FileDescriptor.h"
#include "UtcTime.h"

namespace {

namespace fs = std::filesystem;

const char* const kPrefix = "credits ";

// A name beside the file that no earlier damaged copy holds.
std::string asideName(const std::string& filePath) {
    const std::string stem = filePath + ".corrupt-" + utcTime("%Y%m%dT%H%M%SZ");
    std::string name = stem;
    std::error_code error;
    for (int copy = 1; fs::exists(name, error); ++copy) {
        name = stem + "." + std::to_string(copy);
    }
    return name;
}

}  // namespace

StateFile::StateFile(std::string path) : filePath(std::move(path)) {}

std::optional<int64_t> StateFile::parse(const std::string& text) {
    const std::string prefix = kPrefix;
    if (text.empty() || text.compare(0, prefix.size(), prefix) != 0 || text.back() != '\n') {
        return std::nullopt;
    }
    const std::string digits = text.substr(prefix.size(), text.size() - prefix.size() - 1);
    if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoll(digits);
}

StateFile::Reading StateFile::read() const {
    Reading reading;
    std::error_code error;
    if (!fs::exists(filePath, error) && !error) {
        return reading;
    }
    std::ifstream file(filePath, std::ios::binary);
    if (!file) {
        reading.problem = "cannot read the state file " + filePath + ": " + std::strerror(errno);
        reading.usable = false;
        return reading;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (const std::optional<int64_t> credits = parse(content.str())) {
        reading.credits = *credits;
        return reading;
    }
    const std::string aside = asideName(filePath);
    fs::rename(filePath, aside, error);
    if (error) {
        reading.problem = "the state file " + filePath + " holds no credit count and cannot be moved aside: " +
                          error.message();
        reading.usable = false;
    } else {
        reading.problem = "the state file " + filePath + " held no credit count; kept as " + aside +
                          ", counting from 0";
    }
    return reading;
}

bool StateFile::write(int64_t credits, std::string& error) const {
    const std::string temporary = filePath + ".tmp";
    FileDescriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    const std::string text = kPrefix + std::to_string(credits) + "\n";
    if (file.get() < 0 || !file.writeAll(text) || fsync(file.get()) != 0 || !file.closeChecked() ||
        std::rename(temporary.c_str(), filePath.c_str()) != 0) {
        error = temporary + ": " + std::strerror(errno);
        return false;
    }
    // The rename itself lives in the folder: flush that too, or a power cut may undo it.
    const std::string folder = fs::path(filePath).parent_path().string();
    const FileDescriptor directory(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        fsync(directory.get());
    }
    return true;
}
