#include "FuzzSupport.h"
#include "audio/SoundManager.h"
#include "core/Settings.h"

// Music through the game's own player on OpenAL's null device: open, the first four
// buffer fills, a tick's refill, and the stop.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings::instance().setInt("music", 1);
    fuzz::writeFile("music/fuzz.ogg", data, size);
    SoundManager& sound = SoundManager::instance();
    sound.playMusic("fuzz.ogg");
    sound.updateMusic();
    sound.stopMusic();
    return 0;
}
