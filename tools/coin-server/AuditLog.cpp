#include "AuditLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>
#include <utility>

namespace {

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

AuditLog::AuditLog(std::string path) : filePath(std::move(path)) {}

bool AuditLog::open(std::string& error) {
    if (filePath == "-") {
        return true;
    }
    FileDescriptor opened(::open(filePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!opened.isOpen()) {
        error = filePath + ": " + std::strerror(errno);
        return false;
    }
    file = std::move(opened);
    return true;
}

void AuditLog::write(const std::string& text) const {
    const std::string line = utcNow() + " " + text + "\n";
    if (!file.isOpen()) {
        std::cout << line << std::flush;
        return;
    }
    // One write per line, so lines from a crash are never interleaved or split.
    if (!file.writeAll(line) || fdatasync(file.get()) != 0) {
        std::cerr << "margin-coin-server: cannot write the audit log " << filePath << ": " << std::strerror(errno)
                  << "\n";
    }
}
