#pragma once

#include <string>
#include <vector>

#include "replay/ReplayFile.h"

// Digests of the data files that decide how a game plays: the levels (less their "boss"
// lines, which only name and dress the boss), the animations and the cutscene scripts
// (whose lengths hold the world still), read from the current directory, which is the
// data directory while the game runs.
namespace DataDigest {

std::vector<ReplayFile::DataFile> current();

// Empty when every recorded file is found under `folder` unchanged; otherwise one line
// naming the first file that differs or is missing.
std::string mismatch(const std::vector<ReplayFile::DataFile>& recorded, const std::string& folder = ".");

}  // namespace DataDigest
