#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class ProblemSink;
class TextFile;

#include "core/SettingLimits.h"

// The process-wide store of typed tuning values, filled from "config.dat" at start-up.
// Three independent maps keyed by exact, case-sensitive names; a getter for an absent
// key answers 0, 0.0 or "" (and may insert that default). Key codes from "key" lines
// live in the integer map: a plain key is its character code, a special key is
// 256 + GLUT's special-key code (arrows 356..359, Fn is 256 + n).
class Settings {
public:
    static Settings& instance();

    // Reads a settings file into the store; a later line for the same key overwrites.
    // A file that cannot be opened leaves the store unchanged and prints nothing.
    void load(const std::string& fileName);
    // The same, sending every fault to `problems` (the game prints what it always did).
    void load(const std::string& fileName, ProblemSink& problems);

    int32_t getInt(const std::string& key);
    float getFloat(const std::string& key);
    // The value of an integer key, or `absent` when nothing set it; unlike getInt this
    // never inserts the key, so a default that is not 0 stays a default.
    int32_t getIntOr(const std::string& key, int32_t absent) const;
    std::string getString(const std::string& key);
    // The value clamped into the limits. A value outside them (NaN included, which becomes
    // the bound nearest 0) is reported once per key on standard output.
    int32_t getIntWithin(const std::string& key, IntLimits limits);
    float getFloatWithin(const std::string& key, FloatLimits limits);

    // The integer values ("int" and "key" lines) a settings file sets, read by the same
    // rules as load, without touching the store and without a word on the console.
    static std::map<std::string, int32_t> integersIn(const std::string& fileName);

    // Store a value directly (tests and tools; the game only loads files).
    void setInt(const std::string& key, int32_t value) { integers[key] = value; ++changes; }
    void setFloat(const std::string& key, float value) { floats[key] = value; ++changes; }
    void setString(const std::string& key, const std::string& value) { strings[key] = value; ++changes; }
    void clear();
    // Counts every load, set, replaceWith and clear, so a value built from settings
    // knows when to build itself again (see SettingsCache).
    unsigned long revision() const { return changes; }
    // Every entry as a settings-file line, integers, floats then strings, keys in order;
    // replaceWith(toLines()) gives back the same store (floats are written exactly).
    std::vector<std::string> toLines() const;
    // Empties the store and reads these lines in its place.
    void replaceWith(const std::vector<std::string>& lines);

    // The key-name rule of "key" lines: one character is its own code, otherwise a
    // case-insensitive name from a small table, else 0.
    static int32_t keyCode(const std::string& keyName);
    // The key a settings-file line sets ("int width 640" sets width); empty when none.
    static std::string keyOfLine(const std::string& line);

private:
    Settings() = default;
    void parseLine(const std::string& line, const std::string& path, int at, ProblemSink& problems);

    std::map<std::string, std::string> strings;
    std::map<std::string, int32_t> integers;
    std::map<std::string, float> floats;
    std::set<std::string> reportedOutOfRange;
    unsigned long changes = 0;
};
