#include <cmath>
#include <cstdlib>
#include <sstream>

#include "FuzzSupport.h"
#include "characters/AnimationLibrary.h"
#include "characters/AnimationPlayer.h"

// Loads the file, then plays it once and looped for a few seconds of game time with the
// real 20 ms tick, as a figure would. Whatever the file holds, every joint must end up
// at an angle a rotation can use.
namespace {

void step(AnimationPlayer& player, Pose& pose) {
    player.update(20, pose);
    for (const float angle : pose) {
        if (!std::isfinite(angle)) {
            std::abort();
        }
    }
}

}  // namespace

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
        step(player, pose);
    }
    player.loop(name);
    for (int tick = 0; tick < 100; ++tick) {
        step(player, pose);
    }
    return 0;
}
