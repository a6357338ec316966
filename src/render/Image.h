#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One decoded picture on its way from a file to an OpenGL texture: rows from the top of
// the file downwards, no padding between rows, channels R, G, B (, A).
class Image {
public:
    // Larger pictures are refused by the decoders before they allocate anything. No
    // texture the game draws comes near either limit (its largest pictures are 800 x 600).
    // The area limit keeps one picture to 64 MiB of RGBA, about as much again for the
    // mipmap chain built from it, and well inside what GL 1.x can hold as one texture; a
    // long strip may still use the whole side.
    static constexpr int maxSide = 16384;
    static constexpr int maxSquareSide = 4096;
    static constexpr long long maxPixels = static_cast<long long>(maxSquareSide) * maxSquareSide;

    // An empty picture: no pixels, all sizes 0, not smooth.
    Image() = default;
    // A zero-filled picture; sizes outside 1..maxSide, more than maxPixels or other than
    // 1..4 components give an empty one.
    Image(int width, int height, int components, bool smooth);

    // Decodes a file: PNG when the path contains ".png" (case-sensitive), JPEG otherwise.
    // Never fails: an unreadable or undecodable file yields the checkerboard.
    static Image fromFile(const std::string& path);
    // The stand-in for a picture that could not be read: 16 x 16 RGB, top-left pixel black.
    static Image checkerboard();

    static bool sizeAllowed(long long width, long long height, int components);

    bool empty() const { return pixelBytes.empty(); }
    int width() const { return w; }
    int height() const { return h; }
    int components() const { return channels; }
    bool smooth() const { return linear; }
    std::size_t rowBytes() const { return static_cast<std::size_t>(w) * channels; }

    const unsigned char* pixels() const { return pixelBytes.data(); }
    unsigned char* pixels() { return pixelBytes.data(); }
    std::size_t byteCount() const { return pixelBytes.size(); }
    unsigned char* row(int y) { return pixelBytes.data() + static_cast<std::size_t>(y) * rowBytes(); }

private:
    std::vector<unsigned char> pixelBytes;
    int w = 0;
    int h = 0;
    int channels = 0;
    bool linear = false;
};
