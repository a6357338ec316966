#include "support/PictureFile.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace picture {

namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace

std::vector<unsigned char> png(int width, int height, const Painter& paint) {
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba colour = paint(x, y);
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        }
    }

    std::vector<unsigned char> out;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(writer);
    if (setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        throw std::runtime_error("could not encode a test picture");
    }
    png_set_write_fn(writer, &out, append, nullptr);
    png_set_IHDR(writer, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(writer, pixels.data() + static_cast<std::size_t>(y) * width * 4);
    }
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return out;
}

std::vector<unsigned char> solidPng(int width, int height, Rgba colour) {
    return png(width, height, [colour](int, int) { return colour; });
}

}  // namespace picture
