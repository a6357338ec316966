#include <cstdlib>

#include "FuzzSupport.h"
#include "render/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("images/fuzz.png", data, size);
    const std::optional<Image> image = PngDecoder::decode("images/fuzz.png");
    if (image && (image->smooth() || image->byteCount() != image->rowBytes() * image->height() ||
                  (image->components() != 3 && image->components() != 4))) {
        std::abort();
    }
    return 0;
}
