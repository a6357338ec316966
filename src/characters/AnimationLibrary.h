#pragma once

#include <map>
#include <string>

#include "characters/Animation.h"

class ProblemSink;

// Key-frame animations by the name written inside each file (not the file name). Filled
// once at start-up; entries are never removed, so pointers from find stay valid for the
// whole run.
class AnimationLibrary {
public:
    static AnimationLibrary& instance();

    AnimationLibrary(const AnimationLibrary&) = delete;
    AnimationLibrary& operator=(const AnimationLibrary&) = delete;

    // Reads "animations/" + file. False when the file cannot be opened or its name is
    // already taken (the first animation of that name stays).
    bool load(const std::string& file);
    // The same, sending every fault to `problems` (the game prints what it always did).
    bool load(const std::string& file, ProblemSink& problems);
    // Null when no animation of that exact name was loaded.
    const Animation* find(const std::string& name) const;
    // Tests and tools only: forgets every animation, so every pointer find gave dangles.
    void clear() { animations.clear(); }

private:
    AnimationLibrary() = default;

    std::map<std::string, Animation> animations;
};
