#pragma once

#include <string>

// Scripted games played through the real Game in this process, every input going
// through the input seam as if typed, and recorded: the regression replays are made by
// these, so re-recording them after a change of data or rules needs no person.
namespace ScriptedPlayer {

// Scripts: "campaign1", "campaign2" (the campaign for one or two players), "arcade"
// (coins, a join, deaths, the continue countdown, a respawn), "weapons" (every weapon
// and the bazooka). Expects config.dat loaded and the data directory current. Returns
// the exit status.
int record(const std::string& script, const std::string& outPath);

}  // namespace ScriptedPlayer
