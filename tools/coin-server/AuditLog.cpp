#include "AuditLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sstream>
#include <utility>

#include "UtcTime.h"

namespace {

// Far more than the longest line, so the last whole line is in it.
constexpr off_t kTailBytes = 4096;
// How every line that states the count ends: "..., credits N".
const char* const kCountMarker = "credits ";

}  // namespace

AuditLog::AuditLog(std::string path) : filePath(std::move(path)) {}

bool AuditLog::open(std::string& error) {
    if (filePath == "-") {
        return true;
    }
    // Non-blocking only so that a pipe put at the name cannot hold the start; the plain
    // file required below ignores it.
    FileDescriptor opened(
        ::open(filePath.c_str(), O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    struct stat status {};
    if (!opened.isOpen() || fstat(opened.get(), &status) != 0) {
        error = filePath + ": " + (errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = filePath + ": not a plain file";
        return false;
    }
    file = std::move(opened);
    return true;
}

bool AuditLog::write(const std::string& text) const {
    const std::string line = utcTime("%Y-%m-%dT%H:%M:%SZ") + " " + text + "\n";
    if (!file.isOpen()) {
        std::cout << line << std::flush;
        return static_cast<bool>(std::cout);
    }
    // One write per line, so lines from a crash are never interleaved; a line the disk
    // cut short is cut off again, back to where it began.
    struct stat before {};
    const bool written = fstat(file.get(), &before) == 0 && file.writeAll(line) && fdatasync(file.get()) == 0;
    if (written) {
        return true;
    }
    const int cause = errno;
    if (before.st_mode != 0) {
        (void)ftruncate(file.get(), before.st_size);
    }
    std::cerr << "margin-coin-server: cannot write the audit log " << filePath << ": " << std::strerror(cause) << "\n";
    return false;
}

std::optional<int64_t> AuditLog::lastCount() const {
    struct stat status {};
    if (!file.isOpen() || fstat(file.get(), &status) != 0 || status.st_size == 0) {
        return std::nullopt;
    }
    const off_t start = status.st_size > kTailBytes ? status.st_size - kTailBytes : 0;
    std::string tail(static_cast<size_t>(status.st_size - start), '\0');
    const ssize_t got = pread(file.get(), tail.data(), tail.size(), start);
    if (got <= 0) {
        return std::nullopt;
    }
    tail.resize(static_cast<size_t>(got));
    std::istringstream lines(tail);
    std::string line;
    std::optional<int64_t> count;
    // The first line of a tail that starts mid-file may be cut; it is never the last.
    while (std::getline(lines, line)) {
        const size_t at = line.rfind(kCountMarker);
        const std::string digits = at == std::string::npos ? "" : line.substr(at + std::strlen(kCountMarker));
        if (!digits.empty() && digits.size() <= 15 && digits.find_first_not_of("0123456789") == std::string::npos) {
            count = std::stoll(digits);
        }
    }
    return count;
}
