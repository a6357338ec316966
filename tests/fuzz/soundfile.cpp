#include "FuzzSupport.h"
#include "audio/SoundManager.h"

// Sound effects go through ALUT, which tells the format from the bytes, onto OpenAL's
// null device.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("sounds/fuzz.wav", data, size);
    SoundManager& sound = SoundManager::instance();
    sound.loadSound("fuzz", "fuzz.wav");
    sound.playSound("fuzz");
    return 0;
}
