#include "render/JpegDecoder.h"

#include "render/CFile.h"

#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <iostream>

namespace {

const long mostLibraryBytes = 256L << 20;

// libjpeg's fatal errors print the library's message and jump back to the step that
// called setjmp. The jump buffer sits beside the error manager so the handler finds it.
struct JumpingErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

[[noreturn]] void printAndJump(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<JumpingErrorManager*>(info->err)->jump, 1);
}

// Owns one decompressor. The reading steps keep no C++ objects of their own, so a jump
// back into them skips no destructor; this owner (outside the jump) releases the library.
class JpegReader {
public:
    JpegReader() {
        decompressor.err = jpeg_std_error(&errors.standard);
        errors.standard.error_exit = printAndJump;
    }
    ~JpegReader() { jpeg_destroy_decompress(&decompressor); }
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    // Reads the header and starts decompression with an output layout the copy below
    // understands: RGB, grey (expanded later) or CMYK (converted later).
    bool start(std::FILE* file) {
        if (setjmp(errors.jump)) {
            return false;
        }
        jpeg_create_decompress(&decompressor);
        // Progressive files keep every coefficient of the picture until the end; beyond
        // this libjpeg asks for a backing store it does not have and gives up.
        decompressor.mem->max_memory_to_use = mostLibraryBytes;
        jpeg_stdio_src(&decompressor, file);
        jpeg_read_header(&decompressor, TRUE);
        switch (decompressor.jpeg_color_space) {
        case JCS_GRAYSCALE:
            decompressor.out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            decompressor.out_color_space = JCS_CMYK;
            break;
        default:
            decompressor.out_color_space = JCS_RGB;
            break;
        }
        jpeg_calc_output_dimensions(&decompressor);
        if (!Image::sizeAllowed(decompressor.output_width, decompressor.output_height, 3)) {
            // libjpeg's own words name one side; a picture too large in area is told
            // the side of the largest square it may have.
            const bool sidesFit = decompressor.output_width <= static_cast<JDIMENSION>(Image::maxSide) &&
                                  decompressor.output_height <= static_cast<JDIMENSION>(Image::maxSide);
            ERREXIT1(&decompressor, JERR_IMAGE_TOO_BIG, sidesFit ? Image::maxSquareSide : Image::maxSide);
        }
        jpeg_start_decompress(&decompressor);
        return true;
    }

    int width() const { return static_cast<int>(decompressor.output_width); }
    int height() const { return static_cast<int>(decompressor.output_height); }
    bool layoutUnderstood() const {
        switch (decompressor.out_color_space) {
        case JCS_GRAYSCALE:
            return decompressor.output_components == 1;
        case JCS_CMYK:
            return decompressor.output_components == 4;
        case JCS_RGB:
            return decompressor.output_components == 3;
        default:
            return false;
        }
    }

    // Copies every scanline into the image, converting it to RGB on the way.
    bool readInto(Image& image) {
        if (setjmp(errors.jump)) {
            return false;
        }
        const JDIMENSION sampleBytes = decompressor.output_width * decompressor.output_components;
        JSAMPARRAY sample = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor),
                                                               JPOOL_IMAGE, sampleBytes, 1);
        while (decompressor.output_scanline < decompressor.output_height) {
            const JDIMENSION line = decompressor.output_scanline;
            if (jpeg_read_scanlines(&decompressor, sample, 1) != 1) {
                return false;
            }
            toRgb(sample[0], image.row(static_cast<int>(line)));
        }
        jpeg_finish_decompress(&decompressor);
        return true;
    }

private:
    void toRgb(const JSAMPLE* in, unsigned char* out) const {
        const JDIMENSION width = decompressor.output_width;
        switch (decompressor.out_color_space) {
        case JCS_GRAYSCALE:
            for (JDIMENSION x = 0; x < width; ++x, ++in, out += 3) {
                out[0] = out[1] = out[2] = in[0];
            }
            break;
        case JCS_CMYK: {
            // Adobe writes CMYK inverted (0 = full ink); plain CMYK has 255 = full ink.
            // What each ink leaves of the paper's light multiplies with what black leaves.
            const bool inverted = decompressor.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
                const int blackLeaves = inverted ? in[3] : 255 - in[3];
                for (int c = 0; c < 3; ++c) {
                    const int inkLeaves = inverted ? in[c] : 255 - in[c];
                    out[c] = static_cast<unsigned char>((inkLeaves * blackLeaves + 127) / 255);
                }
            }
            break;
        }
        default:
            std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
            break;
        }
    }

    jpeg_decompress_struct decompressor{};
    JumpingErrorManager errors{};
};

}  // namespace

std::optional<Image> JpegDecoder::decode(const std::string& path) {
    const CFile file = openForReading(path);
    if (!file) {
        std::cout << "Can't open " << path << ".\n";
        return std::nullopt;
    }
    JpegReader reader;
    if (!reader.start(file.get())) {
        return std::nullopt;
    }
    Image image(reader.width(), reader.height(), 3, true);
    if (image.empty() || !reader.layoutUnderstood()) {
        return std::nullopt;
    }
    if (!reader.readInto(image)) {
        return std::nullopt;
    }
    return image;
}
