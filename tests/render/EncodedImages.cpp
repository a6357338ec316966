#include "render/EncodedImages.h"

#include <png.h>

#include <cstdlib>
#include <stdexcept>

namespace encoded {

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

}  // namespace

Bytes png(int width, int height, int colourType, int bitDepth, const Bytes& samples, bool interlaced) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png writer failed");
    }
    png_set_write_fn(png, &out, appendToBytes, nullptr);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        const png_color palette[2] = {{255, 0, 0}, {0, 0, 255}};
        png_set_PLTE(png, info, palette, 2);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channelsOf(colourType) * (bitDepth / 8);
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(const_cast<png_bytep>(samples.data() + y * rowBytes));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes jpeg(int width, int height, J_COLOR_SPACE space, const Bytes& samples, int quality) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    compressor.in_color_space = space;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * compressor.input_components;
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + compressor.next_scanline * rowBytes);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes flat(int width, int height, const Bytes& pixel) {
    Bytes out;
    for (int i = 0; i < width * height; ++i) {
        out.insert(out.end(), pixel.begin(), pixel.end());
    }
    return out;
}

}  // namespace encoded
