#pragma once

#include <string>

#include "FileDescriptor.h"

// The operator's book of every coin and credit: one line per event, "<UTC time> <text>",
// appended and flushed to the disk before the call returns. "-" writes to standard
// output instead (under systemd that is the journal).
class AuditLog {
public:
    explicit AuditLog(std::string path);

    // False (and the reason in error) when the file cannot be opened for appending.
    bool open(std::string& error);
    // Opens the file again by name, after a log rotation moved the old one away.
    bool reopen(std::string& error) { return open(error); }

    void write(const std::string& text) const;

    const std::string& path() const { return filePath; }

private:
    std::string filePath;
    FileDescriptor file;
};
