#include "FuzzSupport.h"

#include <cstdlib>

// A music decoder that writes anything at all, as one that libvorbis's faults had taken
// over might: cat stands in for the decoder program and hands the input to the game's
// side of the pipe, which must neither crash nor hang.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setenv("MARGIN_BRAWLER_MUSIC_DECODER", "/bin/cat", 1);
    fuzz::writeFile("music/fuzz.ogg", data, size);
    fuzz::playMusic("fuzz.ogg");
    return 0;
}
