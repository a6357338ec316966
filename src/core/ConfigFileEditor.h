#pragma once

#include <string>
#include <vector>

// Changes a settings file the way a careful person would by hand: each changed key's new
// line takes the place of the line that set it (the last one, which is the one in force),
// keeping that line's comment; a key the file never set is added at its end. Every other
// line, comment and blank line stays exactly as it was.
class ConfigFileEditor {
public:
    // `changes` are whole settings lines ("int musicVolume 5", "key player1Drop m"); "int"
    // and "key" lines set the same kind of value, so either replaces the other.
    static std::vector<std::string> edit(const std::vector<std::string>& lines,
                                         const std::vector<std::string>& changes);
    // Reads the file (a missing one counts as empty), edits it and replaces it atomically.
    // Empty on success, else one line naming the file and the reason.
    static std::string apply(const std::string& path, const std::vector<std::string>& changes);
};
