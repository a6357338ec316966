#include <string>

#include "FuzzSupport.h"
#include "audio/SoundManager.h"

namespace {

// A valid 8-bit mono WAV of a few samples, so that lists naming it load a real sound.
std::string tinyWave() {
    const std::string samples(16, '\x80');
    auto le32 = [](unsigned v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    return "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + std::string("\x01\x00\x01\x00", 4) +
           le32(8000) + le32(8000) + std::string("\x01\x00\x08\x00", 4) + "data" + le32(samples.size()) + samples;
}

bool writeSounds() {
    fuzz::writeFile("sounds/a.wav", tinyWave());
    fuzz::writeFile("sounds/b.wav", tinyWave());
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = writeSounds();
    (void)ready;
    fuzz::writeFile("sounds.dat", data, size);
    SoundManager::instance().loadSoundList("sounds.dat");
    return 0;
}
