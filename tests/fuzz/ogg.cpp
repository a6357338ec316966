#include "FuzzSupport.h"

// Music through the game's own player on OpenAL's null device: the decoder process
// opens and streams the file while the game ticks. Whatever libvorbis does with it, the
// game must go on.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("music/fuzz.ogg", data, size);
    fuzz::playMusic("fuzz.ogg");
    return 0;
}
