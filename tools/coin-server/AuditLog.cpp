#include "AuditLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

#include "UtcTime.h"

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
    const std::string line = utcTime("%Y-%m-%dT%H:%M:%SZ") + " " + text + "\n";
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
