#pragma once

#include <string>

// Replaces a small file of the player's (settings, progress) all at once: the new text
// goes to a temporary file in the same folder, reaches the disk, and is renamed over the
// old file, so a crash or a full disk leaves the old file or the new one, never a part.
class AtomicFile {
public:
    // Empty on success, else one line naming the file and the reason. Missing folders are
    // created. A symbolic link is followed: the file it points at is replaced and the link
    // stays, so settings kept elsewhere (a dotfiles folder) stay there. A file that
    // existed keeps its permissions; a new one is readable by everyone, writable by you.
    static std::string replace(const std::string& path, const std::string& contents);
};
