#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "replay/ReplayReader.h"

// Reads the bytes as a replay file; a file that reads must also give its records again,
// as playback reads them, and compare its digests with one another.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    ReplayFile replay;
    std::string error;
    if (ReplayReader::read(in, "fuzz.replay", replay, error)) {
        std::istringstream again(bytes);
        ReplayReader records(again, replay);
        ReplayFile::Record record;
        while (records.next(record)) {
            if (record.kind != ReplayFile::Record::Kind::Digest) continue;
            (void)record.digest.firstDifference(replay.endDigest);
            (void)replay.endDigest.firstDifference(record.digest);
        }
        if (!records.error().empty()) __builtin_trap();
    }
    return 0;
}
