#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Game;

// A fingerprint of everything that decides the rest of a game: the controller's state,
// the level's scroll and lists, and per world object (in world order) its position,
// state, health, timers and what it holds. Splats and flying drops are left out: they
// only change the picture. Kept as named parts so that a mismatch can say where.
class StateDigest {
public:
    struct Part {
        std::string name;
        uint32_t hash = 0;
        bool operator==(const Part& other) const { return name == other.name && hash == other.hash; }
    };

    static StateDigest of(const Game& game);

    // Empty when the two agree; otherwise the first part that differs, in words.
    std::string firstDifference(const StateDigest& recorded) const;

    // "game=0a1b2c3d level=... Player=..."; parse returns false on a malformed word.
    std::string toText() const;
    static bool parse(const std::vector<std::string>& words, StateDigest& digest);

    const std::vector<Part>& parts() const { return partList; }
    bool operator==(const StateDigest& other) const { return partList == other.partList; }

private:
    std::vector<Part> partList;
};
