#pragma once

#include <string>
#include <vector>

class ProblemSink;

// The sound list file ("sounds.dat"): records of a sound name, a count n and n sound
// files under "sounds/", all whitespace-separated. A name plays the last file of its
// record. Reading ends at a count that does not read; a negative count reads no files
// and the list goes on with the next name. Both are said on standard output with the
// file and line. There is no comment syntax.
class SoundList {
public:
    struct Record {
        std::string name;
        std::vector<std::string> files;
        int line = 0;
    };

    // An unreadable file is an empty list and says nothing.
    static std::vector<Record> read(const std::string& path, ProblemSink& problems);
};
