#pragma once

#include <string>

class ProblemSink;

// The player's own mappings for pads SDL does not know, in SDL's text format: one
// "GUID,name,a:b0,b:b1,...,platform:Linux" line per pad, "#" starting a comment line.
// Read once, after SDL's controller subsystem is up.
class PadMappings {
public:
    // Hands every mapping meant for this platform to SDL and answers how many it took.
    // An absent file costs nothing. Lines SDL refuses are passed over and cost one line
    // on standard output for the whole file, naming the file and the first of them.
    static int load(const std::string& path, ProblemSink& problems);
};
