#include "render/EncodedImages.h"
#include "render/Image.h"
#include "support/TempDataDir.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>

using encoded::Bytes;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

class ImageDecoding : public testing::Test {
protected:
    void save(const std::string& path, const Bytes& bytes) { dir.writeBytes(path, bytes.data(), bytes.size()); }

    Bytes pixelsOf(const Image& image) { return Bytes(image.pixels(), image.pixels() + image.byteCount()); }

    void expectCheckerboard(const Image& image) {
        ASSERT_EQ(image.width(), 16);
        ASSERT_EQ(image.height(), 16);
        ASSERT_EQ(image.components(), 3);
        EXPECT_FALSE(image.smooth());
        EXPECT_EQ(pixelsOf(image), pixelsOf(Image::checkerboard()));
    }

    void expectColourNear(const Image& image, int x, int y, int r, int g, int b) {
        const unsigned char* pixel = image.pixels() + (static_cast<std::size_t>(y) * image.width() + x) * 3;
        EXPECT_NEAR(pixel[0], r, 12) << "at " << x << "," << y;
        EXPECT_NEAR(pixel[1], g, 12) << "at " << x << "," << y;
        EXPECT_NEAR(pixel[2], b, 12) << "at " << x << "," << y;
    }

    // Four flat 8 x 8 blocks: red, green on top; blue, white below.
    static Bytes quadrants(const Bytes& topLeft, const Bytes& topRight, const Bytes& bottomLeft,
                           const Bytes& bottomRight) {
        Bytes out;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const Bytes& pixel = y < 8 ? (x < 8 ? topLeft : topRight) : (x < 8 ? bottomLeft : bottomRight);
                out.insert(out.end(), pixel.begin(), pixel.end());
            }
        }
        return out;
    }

    TempDataDir dir;
};

const Bytes rgbSamples = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180};

}  // namespace

TEST(Checkerboard, IsSixteenSquareRgbWithBlackTopLeftAndAlternatingPixels) {
    const Image board = Image::checkerboard();
    ASSERT_EQ(board.byteCount(), 16u * 16u * 3u);
    EXPECT_FALSE(board.smooth());
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const unsigned char* pixel = board.pixels() + (y * 16 + x) * 3;
            const int expected = (x + y) % 2 == 1 ? 255 : 0;
            ASSERT_EQ(pixel[0], expected);
            ASSERT_EQ(pixel[1], expected);
            ASSERT_EQ(pixel[2], expected);
        }
    }
}

TEST_F(ImageDecoding, RgbAndRgbaPngsKeepEveryByteInFileOrder) {
    save("images/rgb.png", encoded::png(3, 2, PNG_COLOR_TYPE_RGB, 8, rgbSamples));
    const Bytes rgba = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    save("images/rgba.png", encoded::png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba));

    const Image rgb = Image::fromFile("images/rgb.png");
    EXPECT_EQ(rgb.width(), 3);
    EXPECT_EQ(rgb.height(), 2);
    EXPECT_EQ(rgb.components(), 3);
    EXPECT_FALSE(rgb.smooth());
    EXPECT_EQ(pixelsOf(rgb), rgbSamples);

    const Image withAlpha = Image::fromFile("images/rgba.png");
    EXPECT_EQ(withAlpha.components(), 4);
    EXPECT_EQ(pixelsOf(withAlpha), rgba);
}

TEST_F(ImageDecoding, SixteenBitAndInterlacedPngsGiveTheSameEightBitRows) {
    Bytes wide;
    for (unsigned char sample : rgbSamples) {
        wide.push_back(sample);
        wide.push_back(0xEE);
    }
    save("images/deep.png", encoded::png(3, 2, PNG_COLOR_TYPE_RGB, 16, wide));
    const Image deep = Image::fromFile("images/deep.png");
    EXPECT_EQ(deep.components(), 3);
    EXPECT_EQ(pixelsOf(deep), rgbSamples);

    Bytes noise(9 * 7 * 4);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<unsigned char>(i * 31 % 256);
    }
    save("images/interlaced.png", encoded::png(9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, noise, true));
    EXPECT_EQ(pixelsOf(Image::fromFile("images/interlaced.png")), noise);
}

TEST_F(ImageDecoding, PathContainingDotPngAnywhereIsReadAsPng) {
    save("images/rgb.png.old", encoded::png(3, 2, PNG_COLOR_TYPE_RGB, 8, rgbSamples));
    EXPECT_EQ(pixelsOf(Image::fromFile("images/rgb.png.old")), rgbSamples);
}

TEST_F(ImageDecoding, PaletteAndGreyPngsAreRefusedWithBadFormat) {
    save("images/palette.png", encoded::png(2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0}));
    save("images/grey.png", encoded::png(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 50, 100, 150}));
    save("images/greyalpha.png", encoded::png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {7, 9}));
    for (const std::string path : {"images/palette.png", "images/grey.png", "images/greyalpha.png"}) {
        CaptureStdout();
        const Image image = Image::fromFile(path);
        EXPECT_EQ(GetCapturedStdout(), "Bad PNG format:" + path + "\n");
        expectCheckerboard(image);
    }
}

TEST_F(ImageDecoding, FilesWithoutPngSignatureAreNamedOnStdout) {
    dir.write("images/text.png", "this is no picture at all");
    dir.write("images/short.png", "\x89PN");
    for (const std::string path : {"images/text.png", "images/short.png"}) {
        CaptureStdout();
        const Image image = Image::fromFile(path);
        EXPECT_EQ(GetCapturedStdout(), path + " is not a PNG file.\n");
        expectCheckerboard(image);
    }
}

TEST_F(ImageDecoding, MissingPngGivesCheckerboardSilently) {
    CaptureStdout();
    const Image image = Image::fromFile("images/nothing.png");
    EXPECT_EQ(GetCapturedStdout(), "");
    expectCheckerboard(image);
}

TEST_F(ImageDecoding, TruncatedOrCorruptPngGivesCheckerboard) {
    Bytes noise(64 * 64 * 3);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<unsigned char>(i * 7919 % 251);
    }
    const Bytes whole = encoded::png(64, 64, PNG_COLOR_TYPE_RGB, 8, noise);
    save("images/halfdata.png", Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)));
    save("images/halfheader.png", Bytes(whole.begin(), whole.begin() + 20));
    Bytes flipped = whole;
    flipped[flipped.size() / 2] ^= 0xFF;
    save("images/flipped.png", flipped);
    for (const std::string path : {"images/halfdata.png", "images/halfheader.png", "images/flipped.png"}) {
        CaptureStderr();
        const Image image = Image::fromFile(path);
        EXPECT_NE(GetCapturedStderr(), "") << path << ": libpng's message";
        expectCheckerboard(image);
    }
}

TEST_F(ImageDecoding, ColourJpegIsSmoothRgbWithItsBlockColours) {
    save("images/blocks.jpg", encoded::jpeg(16, 16, JCS_RGB,
                                            quadrants({255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255})));
    const Image image = Image::fromFile("images/blocks.jpg");
    ASSERT_EQ(image.width(), 16);
    ASSERT_EQ(image.height(), 16);
    ASSERT_EQ(image.components(), 3);
    EXPECT_TRUE(image.smooth());
    expectColourNear(image, 3, 3, 255, 0, 0);
    expectColourNear(image, 12, 3, 0, 255, 0);
    expectColourNear(image, 3, 12, 0, 0, 255);
    expectColourNear(image, 12, 12, 255, 255, 255);
}

TEST_F(ImageDecoding, GreyAndCmykJpegsAreConvertedToRgb) {
    save("images/grey.jpg", encoded::jpeg(16, 8, JCS_GRAYSCALE, encoded::flat(16, 8, {100})));
    const Image grey = Image::fromFile("images/grey.jpg");
    ASSERT_EQ(grey.components(), 3);
    ASSERT_EQ(grey.byteCount(), 16u * 8u * 3u);
    expectColourNear(grey, 5, 4, 100, 100, 100);

    // Written the way Adobe does it, with inverted inks: 0 means full ink.
    const Bytes red = {255, 0, 0, 255};
    const Bytes darkBlue = {0, 0, 255, 128};
    save("images/cmyk.jpg", encoded::jpeg(16, 16, JCS_CMYK, quadrants(red, red, darkBlue, darkBlue)));
    const Image cmyk = Image::fromFile("images/cmyk.jpg");
    ASSERT_EQ(cmyk.components(), 3);
    ASSERT_EQ(cmyk.byteCount(), 16u * 16u * 3u);
    expectColourNear(cmyk, 4, 4, 255, 0, 0);
    expectColourNear(cmyk, 4, 12, 0, 0, 128);
}

TEST_F(ImageDecoding, MissingJpegIsNamedOnStdout) {
    CaptureStdout();
    const Image image = Image::fromFile("images/nothing.jpg");
    EXPECT_EQ(GetCapturedStdout(), "Can't open images/nothing.jpg.\n");
    expectCheckerboard(image);
}

TEST_F(ImageDecoding, UnreadableJpegsGiveCheckerboard) {
    const Bytes whole = encoded::jpeg(16, 16, JCS_RGB, encoded::flat(16, 16, {9, 99, 199}));
    save("images/header.jpg", Bytes(whole.begin(), whole.begin() + 40));
    dir.write("images/empty.jpg", "");
    // The search for ".png" is case-sensitive, so this PNG goes to the JPEG reader.
    save("images/upper.PNG", encoded::png(3, 2, PNG_COLOR_TYPE_RGB, 8, rgbSamples));
    for (const std::string path : {"images/header.jpg", "images/empty.jpg", "images/upper.PNG"}) {
        CaptureStderr();
        const Image image = Image::fromFile(path);
        EXPECT_NE(GetCapturedStderr(), "") << path << ": libjpeg's message";
        expectCheckerboard(image);
    }
}

TEST_F(ImageDecoding, JpegCutInItsDataKeepsItsSize) {
    Bytes noise(64 * 64 * 3);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<unsigned char>(i * 7919 % 251);
    }
    const Bytes whole = encoded::jpeg(64, 64, JCS_RGB, noise);
    save("images/cut.jpg", Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size() * 2 / 3)));
    CaptureStderr();
    const Image image = Image::fromFile("images/cut.jpg");
    EXPECT_NE(GetCapturedStderr(), "") << "libjpeg warns of the early end";
    EXPECT_EQ(image.width(), 64);
    EXPECT_EQ(image.height(), 64);
    EXPECT_EQ(image.components(), 3);
}

TEST_F(ImageDecoding, OversizedPicturesAreRefused) {
    save("images/wide.png", encoded::png(Image::maxSide + 1, 1, PNG_COLOR_TYPE_RGB, 8,
                                         Bytes(static_cast<std::size_t>(Image::maxSide + 1) * 3)));
    save("images/wide.jpg", encoded::jpeg(Image::maxSide + 1, 1, JCS_GRAYSCALE,
                                          Bytes(static_cast<std::size_t>(Image::maxSide + 1)), 50));
    for (const std::string path : {"images/wide.png", "images/wide.jpg"}) {
        CaptureStderr();
        const Image image = Image::fromFile(path);
        EXPECT_NE(GetCapturedStderr(), "") << path;
        expectCheckerboard(image);
    }
}
