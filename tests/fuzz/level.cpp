#include "FuzzSupport.h"
#include "replay/DataDigest.h"
#include "world/Level.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("levels/fuzz.dat", data, size);
    Level level;
    level.load("fuzz.dat");
    // Replays and peers digest level files line by line, leaving out boss lines.
    DataDigest::current();
    return 0;
}
