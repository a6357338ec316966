#include <cstdlib>

#include "FuzzSupport.h"
#include "ui/Cutscene.h"

// Without a window the loading picture is not drawn and, with no GL context, textures
// are named but never decoded; what is left is the file's reading and the slide timing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("cutscenes/fuzz.dat", data, size);
    Cutscene& cutscene = Cutscene::instance();
    cutscene.load("cutscenes/fuzz.dat");
    for (int tick = 0; tick < 500 && cutscene.isPlaying(); ++tick) {
        const float alpha = cutscene.fadeAlpha();
        if (cutscene.look() == Cutscene::Look::CrossFade && !(alpha >= 0.0f && alpha <= 1.0f)) {
            std::abort();
        }
        cutscene.update(20);
    }
    cutscene.skip();
    return 0;
}
