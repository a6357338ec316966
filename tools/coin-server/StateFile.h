#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The credit count on disk: one line "credits N". Every write goes to a temporary file
// beside it, is flushed to the disk and then renamed over the old file, so a power cut
// leaves either the old or the new count, never half of one.
class StateFile {
public:
    explicit StateFile(std::string path);

    struct Reading {
        int64_t credits = 0;
        // What was wrong with the file, for the operator; empty when nothing was.
        std::string problem;
        // False when the file exists but could be neither read nor moved aside: counting
        // on would overwrite credits that may still be in it.
        bool usable = true;
    };
    // The stored count; a missing file is a first start (0). A file that does not hold a
    // count is moved aside to "<file>.corrupt-<time>" (never overwritten), and counting
    // starts again from 0 with the problem described.
    Reading read() const;

    // Stores the count durably; false (with errno's message in error) if it could not.
    bool write(int64_t credits, std::string& error) const;

    const std::string& path() const { return filePath; }

private:
    static std::optional<int64_t> parse(const std::string& text);

    std::string filePath;
};
