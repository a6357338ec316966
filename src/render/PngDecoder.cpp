#include "render/PngDecoder.h"

#include "render/CFile.h"

#include <png.h>

#include <csetjmp>
#include <iostream>
#include <vector>

namespace {

const int signatureBytes = 8;
// libpng reads every chunk but the image data whole, allocating what the chunk's length
// claims even past its own limit (a text chunk of 2 GB is allocated before the file runs
// out). The game needs none of the ancillary chunks, so they are skipped unread; the
// limits bound whatever libpng still reads.
const png_alloc_size_t mostChunkBytes = 8 << 20;
const png_uint_32 mostCachedChunks = 1000;
const int allKnownAncillaryChunks = -1;

// Owns the libpng read structures. libpng reports errors by a long jump back to the
// reading step that called setjmp; those steps keep no C++ objects of their own, so the
// jump skips no destructor, and this owner (outside the jump) releases everything.
class PngReader {
public:
    PngReader() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
            endInfo = png_create_info_struct(png);
        }
    }
    ~PngReader() { png_destroy_read_struct(&png, &info, &endInfo); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool created() const { return png != nullptr && info != nullptr && endInfo != nullptr; }

    bool readHeader(std::FILE* file) {
        if (setjmp(png_jmpbuf(png))) {
            return false;
        }
        png_init_io(png, file);
        png_set_sig_bytes(png, signatureBytes);
        png_set_user_limits(png, Image::maxSide, Image::maxSide);
        png_set_chunk_malloc_max(png, mostChunkBytes);
        png_set_chunk_cache_max(png, mostCachedChunks);
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, allKnownAncillaryChunks);
        png_read_info(png, info);
        if (!Image::sizeAllowed(width(), height(), 4)) {
            png_error(png, "Image is too large");
        }
        return true;
    }

    png_uint_32 width() const { return png_get_image_width(png, info); }
    png_uint_32 height() const { return png_get_image_height(png, info); }
    int colourType() const { return png_get_color_type(png, info); }
    int bitDepth() const { return png_get_bit_depth(png, info); }

    // Asks for 8 bits per channel and de-interlaced rows, and answers the bytes of one row.
    bool requestEightBitRows(png_size_t& rowBytes) {
        if (setjmp(png_jmpbuf(png))) {
            return false;
        }
        png_set_strip_16(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        rowBytes = png_get_rowbytes(png, info);
        return true;
    }

    bool readRows(png_bytepp rows) {
        if (setjmp(png_jmpbuf(png))) {
            return false;
        }
        png_read_image(png, rows);
        png_read_end(png, endInfo);
        return true;
    }

private:
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
};

bool hasPngSignature(std::FILE* file) {
    png_byte signature[signatureBytes];
    return std::fread(signature, 1, signatureBytes, file) == signatureBytes &&
           png_sig_cmp(signature, 0, signatureBytes) == 0;
}

}  // namespace

std::optional<Image> PngDecoder::decode(const std::string& path) {
    const CFile file = openForReading(path);
    if (!file) {
        return std::nullopt;
    }
    if (!hasPngSignature(file.get())) {
        std::cout << path << " is not a PNG file.\n";
        return std::nullopt;
    }
    PngReader reader;
    if (!reader.created() || !reader.readHeader(file.get())) {
        return std::nullopt;
    }
    int components = 0;
    switch (reader.colourType()) {
    case PNG_COLOR_TYPE_RGB:
        components = 3;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        components = 4;
        break;
    default:
        std::cout << "Bad PNG format:" << path << "\n";
        return std::nullopt;
    }
    Image image(static_cast<int>(reader.width()), static_cast<int>(reader.height()), components, false);
    png_size_t rowBytes = 0;
    if (!reader.requestEightBitRows(rowBytes)) {
        return std::nullopt;
    }
    if (image.empty() || reader.bitDepth() != 8 || rowBytes != image.rowBytes()) {
        std::cout << "Bad PNG format:" << path << "\n";
        return std::nullopt;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        rows[static_cast<std::size_t>(y)] = image.row(y);
    }
    if (!reader.readRows(rows.data())) {
        return std::nullopt;
    }
    return image;
}
