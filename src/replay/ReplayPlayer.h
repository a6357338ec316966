#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/InputSeam.h"
#include "core/Match.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayReader.h"
#include "replay/ReplaySettings.h"

// Plays a replay through the input seam: takes the live devices' place, starts the
// recorded game, hands each tick its recorded input and coin counts, and compares the
// game's state with the recorded digests. The same on screen and headless.
class ReplayPlayer : public InputSeam::Replacement {
public:
    // `name` is what messages call the replay; `announce` prints the first difference.
    // The replay's settings are in force from here until playback ends (ReplaySettings);
    // modules that read a setting once read it from here on, so the player is made
    // before the Game is built. Its records are read from the replay's file as play
    // goes on.
    ReplayPlayer(const ReplayFile& replay, std::string name, bool announce);
    ~ReplayPlayer() override;

    // Takes over the seam and starts the recorded game.
    virtual void begin();
    // Gives the seam back and returns the game to the menu.
    void stop();

    // Where playback stands between two ticks: the game as it is and the place in the
    // replay's records. Playback taken back there (returnTo) goes on exactly as it went
    // on from there before.
    struct Bookmark {
        Match match;
        int ticks = 0;
        ReplayReader::Place place;
        std::optional<ReplayFile::Record> next;
        bool unreadable = false;
    };
    // Between ticks, while playback goes on.
    Bookmark mark() const;
    void returnTo(const Bookmark& bookmark);

    bool isFinished() const { return finished; }
    int ticksPlayed() const { return ticks; }
    // The tick the recorded game ended at.
    int lastTick() const { return replay.endTick; }
    int digestsCompared() const { return compared; }
    // The tick of the first difference and what differed; -1 and empty while all match.
    int differenceTick() const { return firstDifferenceTick; }
    const std::string& difference() const { return firstDifference; }

    unsigned seed() const override { return replay.start.seed; }
    void playStarted(const InputSeam::PlayStart& start) override;
    void inputDelivered(const InputEvent&) override {}
    void tickStarting() override;
    void tickEnded() override;
    void playEnded() override;
    void liveKey(int key, bool down) override;
    int credits(int poll, int held) override;

private:
    // The next record still to be played, or null when none is left.
    const ReplayFile::Record* due();
    void compare(const StateDigest& recorded);
    void differs(const std::string& what);
    void release();
    // Marks the end of playback and puts this machine's settings back; announces how
    // it went when asked to.
    void finish();

    const ReplayFile& replay;
    std::string name;
    bool announce = false;
    ReplaySettings settings;
    std::unique_ptr<ReplayReader> records;
    std::optional<ReplayFile::Record> next;
    // The file could not be read to its end record: playback stops at the tick's end.
    bool unreadable = false;
    bool started = false;
    bool finished = false;
    int ticks = 0;
    int compared = 0;
    int firstDifferenceTick = -1;
    std::string firstDifference;
};
