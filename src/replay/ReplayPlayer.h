#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/InputSeam.h"
#include "replay/ReplayFile.h"

// Plays a replay through the input seam: takes the live devices' place, starts the
// recorded game, hands each tick its recorded input and coin counts, and compares the
// game's state with the recorded digests. The same on screen and headless.
class ReplayPlayer : public InputSeam::Replacement {
public:
    // `name` is what messages call the replay; `announce` prints the first difference.
    ReplayPlayer(const ReplayFile& replay, std::string name, bool announce);
    ~ReplayPlayer() override;

    // Puts the recorded settings in force, keeping this machine's window, data folder,
    // devices and music, with no recording and no coin server. Settings that modules
    // read once are read from here on, so this runs before the Game is built.
    static void installSettings(const ReplayFile& replay);
    // Those of these settings lines that describe this machine rather than the game.
    static std::vector<std::string> machineLines(const std::vector<std::string>& lines);

    // Takes over the seam and starts the recorded game.
    void begin();
    // Gives the seam back and returns the game to the menu.
    void stop();

    bool isFinished() const { return finished; }
    int ticksPlayed() const { return ticks; }
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
    void compare(const StateDigest& recorded);
    void differs(const std::string& what);
    void release();
    // Marks the end of playback; announces how it went when asked to.
    void finish();

    const ReplayFile& replay;
    std::string name;
    bool announce = false;
    bool started = false;
    bool finished = false;
    std::size_t next = 0;
    int ticks = 0;
    int compared = 0;
    int firstDifferenceTick = -1;
    std::string firstDifference;
};
