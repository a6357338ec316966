#include <sstream>

#include "FuzzSupport.h"
#include "characters/AnimationLibrary.h"
#include "characters/AnimationPlayer.h"

// Loads the file, then plays it once and looped for a few seconds of game time with the
// real 20 ms tick, as a figure would.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enterScratchDataDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("animations/fuzz.txt", data, size);
    AnimationLibrary& library = AnimationLibrary::instance();
    library.clear();
    library.load("fuzz.txt");

    std::string name;
    std::istringstream(std::string(reinterpret_cast<const char*>(data), size)) >> name;
    Pose pose{};
    AnimationPlayer player;
    player.playOnce(name);
    for (int tick = 0; tick < 100 && player.isPlaying(); ++tick) {
        player.update(20, pose);
    }
    player.loop(name);
    for (int tick = 0; tick < 100; ++tick) {
        player.update(20, pose);
    }
    return 0;
}
