#pragma once

#include <string>

// The rules for names of data files that arrive from outside the program: level names
// from replays, online messages and level files, cutscene names from level files.
// Such a name only ever reaches a regular file inside the data directory (the working
// directory while the game runs): never a folder above it, a device, a pipe, or a file
// that a link inside it points to elsewhere.
namespace DataFileName {

// A level name is one file name under "levels/": not empty, at most 255 bytes, no
// folder ("/" or "\"), no "..", and no spaces or control characters (a level file names
// the next level as one word, so no other name could ever be reached from one).
bool isLevelName(const std::string& name);

// A path relative to the data directory that stays inside it: not empty, not absolute,
// no ".." or empty part, no control characters ("cutscenes/intro.dat").
bool isDataPath(const std::string& path);

// Whether `path` (relative to the working directory) is, after following any links, a
// regular file inside the working directory. Checked before opening, so that a name
// never opens a pipe that would hold the game or a file outside its data.
bool isRegularFileInside(const std::string& path);

// The name as it may be printed: control characters become '?'.
std::string printable(const std::string& name);

}  // namespace DataFileName
