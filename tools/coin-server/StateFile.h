#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The credit count on disk: one line "credits N". Every write goes to a temporary file
// beside it, is flushed to the disk and then renamed over the old file, so a power cut
// leaves either the old or the new count, never half of one. The temporary file is made
// afresh for each write and never opened through a link, so whoever can put a name in
// the folder cannot make the server write somewhere else.
class StateFile {
public:
    explicit StateFile(std::string path);

    struct Reading {
        int64_t credits = 0;
        // What was wrong with the file, for the operator; empty when nothing was.
        std::string problem;
        // False when counting on could lose credits or harm a file that is not ours: the
        // file cannot be read or moved aside, or it is not a plain file of a size a count
        // could have (a link, a device, a pipe, a folder, a misnamed big file).
        bool usable = true;
    };
    // The stored count; a missing file is a first start (0). A small file that does not
    // hold a count is moved aside to "<file>.corrupt-<time>" (never overwritten), and
    // counting starts again from 0 with the problem described.
    Reading read() const;

    // Stores the count durably; false (with the reason in error) if it could not.
    bool write(int64_t credits, std::string& error) const;

    // The two halves of write, for a change that must reach another file between them:
    // prepare flushes the new count to the temporary file and leaves the stored count as
    // it was; commit puts it in place; abandon drops it.
    bool prepare(int64_t credits, std::string& error) const;
    bool commit(std::string& error) const;
    void abandon() const;

    const std::string& path() const { return filePath; }

private:
    static std::optional<int64_t> parse(const std::string& text);
    std::string temporaryPath() const { return filePath + ".tmp"; }

    std::string filePath;
};
