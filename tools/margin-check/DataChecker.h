#pragma once

#include <map>
#include <set>
#include <string>

#include "AssetProbe.h"
#include "ProblemList.h"

class LevelScript;

// Loads every data file the game would load, through the game's own readers, from the
// working directory: the settings, the texture and sound lists and their files, the
// start-up animations, the chain of levels from level1.dat, every cutscene the game or
// a level names and every music track. Faults go to the problem list.
class DataChecker {
public:
    explicit DataChecker(ProblemList& problems) : problems(problems) {}

    void run();
    // What was checked, for the one-line report of clean data.
    std::string summary() const;

private:
    // Where a file was named, so a fault in it is reported at the naming line; a file
    // the game's code names (line 0) is reported as itself, saying what needs it.
    struct Reference {
        std::string file;  // or, for line 0, what the game needs the file for
        int line = 0;
    };

    void checkSettings();
    void checkTextures();
    void checkSounds();
    void checkAnimations();
    void checkLevels();
    void checkLevelEntries(const LevelScript& script, const std::string& path);
    void checkCutscene(const std::string& path, const Reference& namedAt);
    void checkMusic(const std::string& file, const Reference& namedAt);
    void checkFile(const std::string& path, const std::string& problem, const Reference& namedAt);

    ProblemList& problems;
    const AssetProbe probe;
    std::set<std::string> textureNames;
    std::map<std::string, Reference> cutscenes;
    int levelCount = 0;
    int soundCount = 0;
};
