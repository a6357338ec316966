#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/CutsceneFrame.h"

class ProblemSink;

// A cutscene file, read but not yet shown: whitespace-separated entries, each a keyword
// and its tokens. "frame" adds a slide (texture, hold, fade, transition); any other
// keyword defines a texture (name, then an image file under "images/"). An entry cut
// short or with numbers that do not read ends the file there.
class CutsceneScript {
public:
    // Pictures one cutscene may load; the bundled ones use at most 3. The entries beyond
    // are left out, reported once at the first of them, and their slides draw untextured.
    static constexpr int MostPictures = 16;

    struct Picture {
        std::string texture;
        std::string file;
        int line = 0;
    };

    // False, and nothing reported, when the file cannot be opened: the caller knows
    // what the file was for.
    bool read(const std::string& path, ProblemSink& problems);

    std::vector<Picture> pictures;  // in file order, duplicates kept
    std::deque<CutsceneFrame> frames;
};
