#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "replay/ReplayReader.h"

// Reads the bytes as a replay file; a file that reads must also compare its digests
// with one another, as playback does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ReplayFile replay;
    std::string error;
    if (ReplayReader::read(in, "fuzz.replay", replay, error)) {
        for (const auto& [tick, digest] : replay.digests) {
            (void)tick;
            (void)digest.firstDifference(replay.endDigest);
            (void)replay.endDigest.firstDifference(digest);
        }
    }
    return 0;
}
