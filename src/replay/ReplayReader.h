#pragma once

#include <istream>
#include <memory>
#include <string>

#include "core/TextFile.h"
#include "replay/ReplayFile.h"

// Reads a replay file. Anything wrong (truncation, a damaged line, another format
// version, no data digests) gives one line naming the file and the line, never a
// partial replay.
//
// read() checks the whole file but keeps only its header and end record; playback then
// reads the records in between one at a time through a ReplayReader of its own, so a
// game of any length costs a few lines of memory.
class ReplayReader {
public:
    // False with `error` set when the file cannot be used.
    static bool read(const std::string& path, ReplayFile& replay, std::string& error);
    // The same from a stream; `name` is what messages call it.
    static bool read(std::istream& in, const std::string& name, ReplayFile& replay, std::string& error);

    // The records of a replay that read() accepted: from its file again, or from a
    // stream holding the same bytes that the caller keeps alive.
    explicit ReplayReader(const ReplayFile& replay);
    ReplayReader(std::istream& in, const ReplayFile& replay);
    ~ReplayReader();
    ReplayReader(const ReplayReader&) = delete;
    ReplayReader& operator=(const ReplayReader&) = delete;

    // The next record, the end record last; false after it, or at a fault (a file that
    // changed since it was checked), with error() saying where.
    bool next(ReplayFile::Record& record);
    const std::string& error() const;

    // Where reading stands: the records after it are read again after returnTo.
    struct Place {
        TextFile::Place file;
        int lastTick = 0;
        bool sawRecord = false;
        bool done = false;
        std::string failure;
    };
    Place place() const;
    // False when the file cannot be read from there again; reading then stops with an
    // error.
    bool returnTo(const Place& earlier);

private:
    class Records;
    std::unique_ptr<Records> records;
};
