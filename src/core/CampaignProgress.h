#pragma once

#include <array>
#include <optional>
#include <string>

// How far the player's campaigns went, for "Continue" on the main menu: one record for
// one player and one for two, each the furthest level reached (its number in the
// campaign and its file), and which of the two was played last. Kept as the file
// "progress" in the per-user state folder and replaced whole at every change:
//
//   one 3 level3.dat
//   two 5 level5.dat
//   last two
//
// Only levels from the second on are recorded: there is nothing to continue before.
class CampaignProgress {
public:
    struct Record {
        int players = 1;
        int number = 0;  // 1 is the campaign's first level
        std::string levelFile;
    };

    // An empty folder remembers nothing (tests, tools).
    explicit CampaignProgress(std::string folder = "");

    // Reads the file. A damaged one is reported on standard output, renamed to
    // "progress.damaged" beside it and ignored.
    void load();
    // The campaign Continue starts: the one played last, else the other; none when no
    // campaign reached its second level.
    std::optional<Record> resumable() const;
    // A campaign level starts: the record of its player count keeps the furthest level.
    // Empty, else the reason the file could not be written (said once per run, also on
    // standard output).
    std::string levelStarted(const Record& reached);
    // The line about a damaged file from the last load, for the screen; empty if none.
    const std::string& loadProblem() const { return damage; }

    std::string filePath() const;

private:
    std::string text() const;
    bool parse(const std::string& path, std::string& why);

    std::string folder;
    std::array<std::optional<Record>, 2> records;  // by player count - 1
    int lastPlayers = 0;
    std::string damage;
    bool writeFailureSaid = false;
};
