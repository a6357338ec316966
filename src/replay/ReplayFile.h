#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/Game.h"
#include "core/InputEvent.h"
#include "core/InputSeam.h"
#include "replay/StateDigest.h"

// One recorded game as it lies in a replay file: a plain-text, line-per-record format.
//
//   margin-brawler-replay 1              format version
//   version 1.0.0                        the game that recorded it
//   mode home | arcade
//   level level1.dat
//   players 1 0                          who joined
//   seed 12345                           of the C generator, set as play starts
//   credits 0                            the coin client's count at the start
//   controls 0000000000000000 0 0 0 0    held controls and stick axes at the start
//   setting <a settings-file line>       every setting in force, one per line
//   data levels/level1.dat 89ab...       digest of every data file that decides play
//   play
//   <tick> k <key> <down>                input before and during that tick, in order
//   <tick> b <joystick> <button> <down>
//   <tick> a <joystick> <axis> <value>
//   <tick> c <poll> <count>              a coin poll whose count changed
//   <tick> digest <parts>                state after that many ticks, every 50
//   end <tick> menu|exit <parts>         state where the game ended
//
// Tick t holds what arrived after t ticks of play and before tick t + 1 was run; the
// digest of tick t comes before it. A level name and data file names are single words:
// names with spaces or control characters never name a level or a play file (see
// DataFileName and DataDigest).
//
// A replay of a long game is long, so only its header and end are held in memory;
// playback reads the records between them one at a time (ReplayReader).
struct ReplayFile {
    static constexpr int FormatVersion = 1;
    static constexpr int DigestInterval = 50;
    // More ticks than this (48 hours of play) is no replay anyone recorded.
    static constexpr int MostTicks = 48 * 3600 * 50;

    // One record of the play section.
    struct Record {
        enum class Kind { Input, Digest, End };
        Kind kind = Kind::End;
        int tick = 0;
        InputEvent event;       // Input
        StateDigest digest;     // Digest and End
        bool endedInMenu = true;  // End
    };
    struct DataFile {
        std::string name;
        std::string digest;
    };

    std::string gameVersion;
    bool arcade = false;
    InputSeam::PlayStart start;
    int credits = 0;
    Game::ControlState controls;
    std::vector<std::string> settings;
    std::vector<DataFile> data;
    int endTick = 0;
    // True when the game went back to the menu; false when the program ended during it.
    bool endedInMenu = true;
    StateDigest endDigest;
    // Where the records are read from during playback: the file, and the line that
    // ends the header ("play"); empty for a replay read from a stream.
    std::string source;
    int playLine = 0;

    // Everything up to and including "play".
    void writeHeader(std::ostream& out) const;
    static std::string eventLine(int tick, const InputEvent& event);
};
