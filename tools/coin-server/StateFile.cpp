#include "StateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "FileDescriptor.h"
#include "UtcTime.h"

namespace {

namespace fs = std::filesystem;

const char* const kPrefix = "credits ";
// "credits " and 15 digits fit many times over; anything bigger is not a state file.
constexpr off_t kLargestStateFile = 4096;

// A name beside the file that no earlier damaged copy holds.
std::string asideName(const std::string& filePath) {
    const std::string stem = filePath + ".corrupt-" + utcTime("%Y%m%dT%H%M%SZ");
    std::string name = stem;
    std::error_code error;
    for (int copy = 1; fs::exists(fs::symlink_status(name, error)); ++copy) {
        name = stem + "." + std::to_string(copy);
    }
    return name;
}

std::string reasonFor(const std::string& name) { return name + ": " + std::strerror(errno); }

FileDescriptor createExclusively(const std::string& name) {
    return FileDescriptor(open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
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
    // Not following a link, and not waiting for a writer should the name be a pipe.
    const FileDescriptor file(open(filePath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen() && errno == ENOENT) {
        return reading;
    }
    reading.usable = false;
    struct stat status {};
    if (!file.isOpen() || fstat(file.get(), &status) != 0) {
        reading.problem = "cannot read the state file " + filePath + ": " +
                          (errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
        return reading;
    }
    if (!S_ISREG(status.st_mode)) {
        reading.problem = "the state file " + filePath + " is not a plain file";
        return reading;
    }
    if (status.st_size > kLargestStateFile) {
        reading.problem = "the state file " + filePath + " is " + std::to_string(status.st_size) +
                          " bytes, far more than a credit count; is --state the right file?";
        return reading;
    }
    std::string content;
    char buffer[kLargestStateFile + 1];
    while (content.size() <= static_cast<size_t>(kLargestStateFile)) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            reading.problem = "cannot read the state file " + reasonFor(filePath);
            return reading;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    reading.usable = true;
    if (const std::optional<int64_t> credits = parse(content)) {
        reading.credits = *credits;
        return reading;
    }
    const std::string aside = asideName(filePath);
    std::error_code error;
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
    return prepare(credits, error) && commit(error);
}

bool StateFile::prepare(int64_t credits, std::string& error) const {
    const std::string temporary = temporaryPath();
    FileDescriptor file = createExclusively(temporary);
    if (!file.isOpen() && errno == EEXIST) {
        // Left by a crash, or put there by someone else: the name is removed, never
        // followed, and made again.
        unlink(temporary.c_str());
        file = createExclusively(temporary);
    }
    const std::string text = kPrefix + std::to_string(credits) + "\n";
    if (!file.isOpen() || !file.writeAll(text) || fsync(file.get()) != 0 || !file.closeChecked()) {
        error = reasonFor(temporary);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool StateFile::commit(std::string& error) const {
    const std::string temporary = temporaryPath();
    if (std::rename(temporary.c_str(), filePath.c_str()) != 0) {
        error = reasonFor(filePath);
        unlink(temporary.c_str());
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

void StateFile::abandon() const { unlink(temporaryPath().c_str()); }
