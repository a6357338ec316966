#include "FuzzSupport.h"
#include "world/Level.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("levels/fuzz.dat", data, size);
    Level level;
    level.load("fuzz.dat");
    return 0;
}
