#pragma once

#include <string>
#include <vector>

class ProblemSink;

// The texture list file ("textures.dat"): whitespace-separated pairs of an image file
// under "images/" and the name it is registered as. A lone last token is reported and
// ignored; there is no comment syntax.
class TextureList {
public:
    struct Entry {
        std::string file;
        std::string name;
        int line = 0;
    };

    // An unreadable file is an empty list and says nothing (the game then has no textures).
    static std::vector<Entry> read(const std::string& path, ProblemSink& problems);
};
