#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>

#include "core/ProblemSink.h"

// The one line reader of every text data file (settings, texture and sound lists,
// levels, animations, cutscenes, joystick calibration). A line ending in CR LF reads
// exactly like one ending in LF, and a UTF-8 byte-order mark at the start of the file
// is skipped, so files saved by Windows editors work unchanged. A folder does not open.
//
// Reading is bounded: no real data file comes near MaxLineBytes on one line or
// MaxFileBytes in all, so a file that does (a runaway generator, /dev/zero) is read up
// to the line that crosses the limit and no further. The lines before it are used;
// the limit is reported once, naming the file and line, on standard error.
class TextFile {
public:
    static constexpr std::size_t MaxLineBytes = 4 * 1024;
    static constexpr std::size_t MaxFileBytes = 4 * 1024 * 1024;

    // A format whose files grow with play (a replay) may allow more than MaxFileBytes.
    TextFile(const std::string& path, ProblemSink& problems, std::size_t maxFileBytes = MaxFileBytes);
    // Reads from a stream the caller keeps alive while this reads; messages call it `name`.
    TextFile(std::istream& in, const std::string& name, ProblemSink& problems,
             std::size_t maxFileBytes = MaxFileBytes);
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Where reading stands, to read on from there again (returnTo).
    struct Place {
        std::streampos offset = 0;
        int number = 0;
        std::size_t bytesRead = 0;
        bool finished = false;
    };
    Place place() const;
    // Reads on from a place this file was at before; false when the source cannot go
    // back there (a pipe), and then nothing changed.
    bool returnTo(const Place& earlier);

    bool isOpen() const { return source != nullptr; }
    // The next line without its line end; false at the end of the file or at a limit.
    bool readLine(std::string& line);
    // 1-based number of the line last read; 0 before the first.
    int lineNumber() const { return number; }
    const std::string& path() const { return filePath; }
    ProblemSink& problems() const { return sink; }
    // Reports a fault that the game passes over in silence.
    void report(int line, const std::string& message) const;

private:
    void stopAtLimit(const std::string& message);

    std::ifstream file;
    std::istream* source = nullptr;  // the file above, or the caller's stream
    std::string filePath;
    ProblemSink& sink;
    int number = 0;
    std::size_t fileLimit;
    std::size_t bytesRead = 0;
    bool finished = false;
};
