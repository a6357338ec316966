#include "render/Image.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/TempDataDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <string>
#include <tuple>
#include <vector>

using namespace testing::internal;

// Image files written by the libraries' own encoders, so each test makes exactly the
// picture (or the broken file) it needs. Samples: rows top first, 16-bit as big-endian pairs.
namespace {

using Bytes = std::vector<unsigned char>;

Bytes png(int width, int height, int colourType, int bitDepth, const Bytes& samples, bool interlaced = false) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, [](png_structp writer, png_bytep data, size_t length) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(writer));
        bytes->insert(bytes->end(), data, data + length);
    }, nullptr);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const png_color palette[2] = {{255, 0, 0}, {0, 0, 255}};
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 2);
    png_write_info(png, info);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass) {
        for (int y = 0; y < height; ++y) png_write_row(png, samples.data() + y * samples.size() / height);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes jpeg(int width, int height, J_COLOR_SPACE space, const Bytes& samples) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = static_cast<int>(samples.size() / (width * height));
    compressor.in_color_space = space;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 95, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data()) + compressor.next_scanline * samples.size() / height;
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Samples with no two neighbours alike, so any misplaced byte shows.
Bytes noise(std::size_t count) {
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(i * 7919 % 251);
    return out;
}

Bytes repeated(int pixels, const Bytes& pixel, Bytes out = {}) {
    for (int i = 0; i < pixels; ++i) out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

Bytes firstBytes(const Bytes& bytes, std::size_t count) { return Bytes(bytes.begin(), bytes.begin() + count); }

class ImageDecoding : public testing::Test {
protected:
    void save(const std::string& file, const Bytes& bytes) const {
        dir.writeBytes("images/" + file, bytes.data(), bytes.size());
    }
    Image decode(const std::string& file, const Bytes& bytes) const {
        save(file, bytes);
        return Image::fromFile("images/" + file);
    }

    static void expectPixels(const Image& image, int width, int height, int components, const Bytes& pixels) {
        EXPECT_EQ(std::make_tuple(image.width(), image.height(), image.components(), image.smooth()),
                  std::make_tuple(width, height, components, false));
        EXPECT_EQ(Bytes(image.pixels(), image.pixels() + image.byteCount()), pixels);
    }

    // A JPEG comes out as smooth RGB, its colours within a little of the original.
    static void expectJpeg(const Image& image, int width, int height, int x, int y, const Bytes& rgb) {
        ASSERT_EQ(std::make_tuple(image.width(), image.height(), image.components(), image.smooth(), image.byteCount()),
                  std::make_tuple(width, height, 3, true, static_cast<std::size_t>(width * height * 3)));
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(image.pixels()[(y * width + x) * 3 + c], rgb[c], 12) << x << "," << y;
    }

    // 16 x 16 RGB, not smooth, black where x + y is even.
    static void expectCheckerboard(const Image& image) {
        ASSERT_EQ(image.byteCount(), 16u * 16u * 3u);
        EXPECT_EQ(std::make_tuple(image.width(), image.components(), image.smooth()), std::make_tuple(16, 3, false));
        for (std::size_t i = 0; i < image.byteCount(); ++i) {
            ASSERT_EQ(image.pixels()[i], ((i / 3) % 16 + i / 48) % 2 == 1 ? 255 : 0) << "byte " << i;
        }
    }

    TempDataDir dir;
};

using Checkerboard = ImageDecoding;

}  // namespace

// 3 pixels of RGB make 9-byte rows, which a 4-byte row alignment would misread.
TEST_F(ImageDecoding, PngsGiveEightBitRowsInFileOrder) {
    const Bytes rgb = noise(3 * 2 * 3), rgba = noise(2 * 2 * 4), interlaced = noise(9 * 7 * 4);
    Bytes wide;
    for (unsigned char sample : rgb) wide.insert(wide.end(), {sample, 0xEE});
    expectPixels(decode("rgb.png", png(3, 2, PNG_COLOR_TYPE_RGB, 8, rgb)), 3, 2, 3, rgb);
    expectPixels(decode("rgba.png", png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba)), 2, 2, 4, rgba);
    expectPixels(decode("deep.png", png(3, 2, PNG_COLOR_TYPE_RGB, 16, wide)), 3, 2, 3, rgb);
    expectPixels(decode("interlaced.png", png(9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, interlaced, true)), 9, 7, 4,
                 interlaced);
}

TEST_F(ImageDecoding, JpegsBecomeSmoothRgbEvenWhenGreyCmykOrCutShort) {
    const Bytes redOverBlue = repeated(128, {0, 0, 255}, repeated(128, {255, 0, 0}));
    const Image halves = decode("halves.jpg", jpeg(16, 16, JCS_RGB, redOverBlue));
    expectJpeg(halves, 16, 16, 8, 3, {255, 0, 0});
    expectJpeg(halves, 16, 16, 8, 12, {0, 0, 255});
    expectJpeg(decode("grey.jpg", jpeg(16, 8, JCS_GRAYSCALE, Bytes(16 * 8, 100))), 16, 8, 5, 4, {100, 100, 100});
    // Inverted inks, the way Adobe writes them: full cyan and magenta, half black.
    expectJpeg(decode("cmyk.jpg", jpeg(16, 16, JCS_CMYK, repeated(256, {0, 0, 255, 128}))), 16, 16, 8, 8, {0, 0, 128});
    const Bytes whole = jpeg(64, 64, JCS_RGB, noise(64 * 64 * 3));
    CaptureStderr();
    EXPECT_EQ(decode("cut.jpg", firstBytes(whole, whole.size() * 2 / 3)).byteCount(), 64u * 64u * 3u);
    EXPECT_NE(GetCapturedStderr(), "") << "libjpeg warns of the early end";
}

TEST_F(Checkerboard, StandsInForEveryFileThatCannotBeUsed) {
    const Bytes whole = png(64, 64, PNG_COLOR_TYPE_RGB, 8, noise(64 * 64 * 3));
    Bytes flipped = whole;
    flipped[flipped.size() / 2] ^= 0xFF;
    const Bytes photo = jpeg(16, 16, JCS_RGB, noise(16 * 16 * 3));
    const int tooWide = Image::maxSide + 1, tooBig = Image::maxSquareSide + 1;
    const struct {
        std::string file;
        Bytes bytes;
        std::string printed;
    } cases[] = {
        {"palette.png", png(2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0}), "Bad PNG format:images/palette.png\n"},
        {"grey.png", png(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 50, 100, 150}), "Bad PNG format:images/grey.png\n"},
        {"photo.png", firstBytes(photo, 16), "images/photo.png is not a PNG file.\n"},
        {"short.png", firstBytes(whole, 3), "images/short.png is not a PNG file.\n"},
        {"halfdata.png", firstBytes(whole, whole.size() / 2), ""},
        {"halfheader.png", firstBytes(whole, 20), ""},
        {"flipped.png", flipped, ""},
        {"header.jpg", firstBytes(photo, 40), ""},
        {"empty.jpg", {}, ""},
        {"wide.png", png(tooWide, 1, PNG_COLOR_TYPE_RGB, 8, Bytes(tooWide * 3)), ""},
        {"wide.jpg", jpeg(tooWide, 1, JCS_GRAYSCALE, Bytes(tooWide)), ""},
        {"vast.png", png(tooBig, tooBig, PNG_COLOR_TYPE_RGB, 8, Bytes(tooBig * tooBig * 3)), ""},
        {"vast.jpg", jpeg(tooBig, tooBig, JCS_GRAYSCALE, Bytes(tooBig * tooBig)), ""},
    };
    for (const auto& bad : cases) {
        CaptureStdout();
        CaptureStderr();
        const Image image = decode(bad.file, bad.bytes);
        GetCapturedStderr();
        EXPECT_EQ(GetCapturedStdout(), bad.printed) << bad.file;
        expectCheckerboard(image);
    }
    // A text chunk that claims 2 GB of a short file is skipped, never allocated.
    Bytes text = firstBytes(whole, 33);
    text.insert(text.end(), {0x7f, 0xff, 0xff, 0xf0, 't', 'E', 'X', 't', 'k', 0});
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    CaptureStderr();
    expectCheckerboard(decode("text.png", text));
    GetCapturedStderr();
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024) << "peak kilobytes grew";
    CaptureStdout();
    expectCheckerboard(Image::fromFile("images/missing.png"));
    expectCheckerboard(Image::fromFile("images/missing.jpg"));
    EXPECT_EQ(GetCapturedStdout(), "Can't open images/missing.jpg.\n");
}

namespace {

class TextureManagerTest : public ImageDecoding {
protected:
    static GLint bound() {
        GLint id = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
        return id;
    }

    // Binds the texture and reads one of its parameters.
    static GLint parameter(const std::string& name, GLenum which) {
        TextureManager::instance().bind(name);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }

    static Bytes rgbPixels(const std::string& name) {
        TextureManager::instance().bind(name);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        Bytes pixels(static_cast<std::size_t>(width * height * 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    GlWindow window;
    TextureManager& textures = TextureManager::instance();
};

}  // namespace

// The list's pairs load in order; a name listed twice keeps its first file, a missing
// file gives the checkerboard and a lone last token is ignored.
TEST_F(TextureManagerTest, ListUploadsPngsTopRowFirstSharpAndJpegsSmooth) {
    const Bytes twoByTwo = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    save("small.png", png(2, 2, PNG_COLOR_TYPE_RGB, 8, twoByTwo));
    save("photo.jpg", jpeg(8, 8, JCS_RGB, Bytes(8 * 8 * 3, 150)));
    dir.write("textures.dat", "small.png\tfirst\n\n  photo.jpg   second photo.jpg first\ngone.png gone photo.jpg");
    CaptureStderr();
    textures.loadList("textures.dat");
    EXPECT_EQ(GetCapturedStderr(), "first already exists!\n");
    EXPECT_EQ(rgbPixels("first"), twoByTwo);
    for (const GLenum which : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
        EXPECT_EQ(parameter("first", which), GL_NEAREST);
        EXPECT_EQ(parameter("second", which), GL_LINEAR);
        EXPECT_EQ(parameter("gone", which), GL_NEAREST);
    }
    EXPECT_EQ(parameter("first", GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter("first", GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(rgbPixels("gone").size(), 16u * 16u * 3u);
    EXPECT_FALSE(textures.contains("photo.jpg"));
}

TEST_F(TextureManagerTest, UnknownNamesBindNothingRemoveDeletesClearOnlyForgets) {
    textures.bind("cutscene");
    EXPECT_EQ(bound(), 0);
    textures.load("x.png", "cutscene");
    textures.load("y.png", "kept");
    textures.bind("cutscene");
    const GLuint removed = static_cast<GLuint>(bound());
    textures.bind("kept");
    const GLuint forgotten = static_cast<GLuint>(bound());
    ASSERT_NE(removed, 0u) << "binding the unknown name registered it";
    textures.remove("cutscene");
    textures.remove("never-loaded");
    textures.clear();
    EXPECT_EQ(glIsTexture(removed), GL_FALSE);
    EXPECT_EQ(glIsTexture(forgotten), GL_TRUE);
    EXPECT_FALSE(textures.contains("kept"));
}

// Each picture counts as its upload may take (a 2049-pixel square as 4096 x 4096, 85 MiB
// with its mipmaps): the fifth such picture would pass the limit and is not loaded.
TEST_F(TextureManagerTest, PicturesPastTheMemoryLimitAreRefusedWithTheirLine) {
    save("big.png", png(2049, 2049, PNG_COLOR_TYPE_RGB, 8, Bytes(2049 * 2049 * 3, 90)));
    dir.write("textures.dat", "big.png b1\nbig.png b2\nbig.png b3\nbig.png b4\nbig.png b5\n");
    const std::uint64_t before = textures.bytesInUse();
    CaptureStderr();
    textures.loadList("textures.dat");
    EXPECT_EQ(GetCapturedStderr(), "textures.dat:5: images/big.png is not loaded: the textures would take more than "
                                   "384 MiB\n");
    EXPECT_TRUE(textures.contains("b4"));
    EXPECT_FALSE(textures.contains("b5"));
    for (const char* name : {"b1", "b2", "b3", "b4"}) textures.remove(name);
    EXPECT_EQ(textures.bytesInUse(), before);
}
