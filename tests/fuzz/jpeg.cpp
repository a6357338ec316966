#include <cstdlib>

#include "FuzzSupport.h"
#include "render/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("images/fuzz.jpg", data, size);
    const std::optional<Image> image = JpegDecoder::decode("images/fuzz.jpg");
    if (image && (!image->smooth() || image->byteCount() != image->rowBytes() * image->height() ||
                  image->components() != 3)) {
        std::abort();
    }
    return 0;
}
