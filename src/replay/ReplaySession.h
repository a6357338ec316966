#pragma once

#include <string>

// The replay side of start-up, driven by two settings: "playReplay FILE" watches a
// replay on screen, "replayDirectory DIR" records every game into DIR. With neither,
// nothing here touches the game.
namespace ReplaySession {

// Right after config.dat is read and before anything reads a setting: a replay to
// watch is read and checked against the data, and its settings are put in force until
// it has been played (see ReplaySettings). A replay that cannot be used costs one line
// and the game starts as usual.
void prepare(const std::string& dataDirectory);

// Once the Game is running: starts watching, or starts recording.
void start();

}  // namespace ReplaySession
