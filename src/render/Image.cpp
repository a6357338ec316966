#include "render/Image.h"

#include "render/JpegDecoder.h"
#include "render/PngDecoder.h"

#include <new>
#include <optional>
#include <utility>

Image::Image(int width, int height, int components, bool smooth) : linear(smooth) {
    if (!sizeAllowed(width, height, components)) {
        return;
    }
    pixelBytes.assign(static_cast<std::size_t>(width) * height * components, 0);
    w = width;
    h = height;
    channels = components;
}

bool Image::sizeAllowed(long long width, long long height, int components) {
    return width > 0 && width <= maxSide && height > 0 && height <= maxSide && width * height <= maxPixels &&
           components >= 1 && components <= 4;
}

Image Image::fromFile(const std::string& path) {
    std::optional<Image> decoded;
    try {
        decoded = path.find(".png") != std::string::npos ? PngDecoder::decode(path) : JpegDecoder::decode(path);
    } catch (const std::bad_alloc&) {
        decoded.reset();
    }
    if (!decoded || decoded->empty()) {
        return checkerboard();
    }
    return std::move(*decoded);
}

Image Image::checkerboard() {
    const int side = 16;
    Image board(side, side, 3, false);
    for (int y = 0; y < side; ++y) {
        unsigned char* pixel = board.row(y);
        for (int x = 0; x < side; ++x, pixel += 3) {
            const unsigned char value = (x + y) % 2 == 1 ? 255 : 0;
            pixel[0] = pixel[1] = pixel[2] = value;
        }
    }
    return board;
}
