#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

// Which sound effects each tick started, for a game whose latest ticks may be taken back
// and run again (online play that runs ahead of the other side's input). A sound the
// re-run asks for again, on that tick or a neighbour, is the one already sounding and is
// not started twice; a sound the re-run never asks for again is named by settle(), to be
// stopped. Ticks are numbered by the caller and only ever count up between takeBack calls.
class SoundLedger {
public:
    // The sounds asked for from now on belong to `tick`.
    void beginTick(int tick);
    // A sound is asked for: true when it should start, false when a taken-back tick
    // started it and this is its recurrence.
    bool shouldStart(const std::string& name);
    // The ticks from `tick` on are taken back and are about to run again.
    void takeBack(int tick);
    // The re-run has caught up: the names of the taken-back sounds that did not recur.
    std::vector<std::string> settle();
    // Ticks before `tick` will never be taken back; their record is dropped.
    void forgetBefore(int tick);

private:
    // Far beyond the sounds of the deepest rollback; a caller that never forgets loses
    // only the oldest record, never memory.
    static constexpr std::size_t MostRecorded = 4096;

    int current = 0;
    // The earliest tick taken back since the last settle.
    int rerunFrom = 0;
    std::deque<std::pair<int, std::string>> started;
    std::vector<std::string> takenBack;
};
