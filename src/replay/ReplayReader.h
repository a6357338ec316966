#pragma once

#include <istream>
#include <string>

#include "replay/ReplayFile.h"

// Reads a replay file. Anything wrong (truncation, a damaged line, another format
// version) gives one line naming the file and the line, never a partial replay.
class ReplayReader {
public:
    // False with `error` set when the file cannot be used.
    static bool read(const std::string& path, ReplayFile& replay, std::string& error);
    // The same from a stream; `name` is what messages call it.
    static bool read(std::istream& in, const std::string& name, ReplayFile& replay, std::string& error);
};
