#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "FileDescriptor.h"

// The operator's book of every coin and credit: one line per event, "<UTC time> <text>",
// appended and flushed to the disk before the call returns. The log holds whole lines
// only: a line the disk has no room for is taken back and reported. "-" writes to
// standard output instead (under systemd that is the journal).
class AuditLog {
public:
    explicit AuditLog(std::string path);

    // False (and the reason in error) when the file cannot be opened for appending, or
    // is not a plain file; a link is never followed.
    bool open(std::string& error);
    // Opens the file again by name, after a log rotation moved the old one away.
    bool reopen(std::string& error) { return open(error); }

    // False, with the reason on standard error, when the line is not in the log.
    bool write(const std::string& text) const;

    // The count in the last line that gives one ("..., credits N"), for a start to check
    // against the state file; nullopt when the end of the log has none.
    std::optional<int64_t> lastCount() const;

    const std::string& path() const { return filePath; }

private:
    std::string filePath;
    FileDescriptor file;
};
