#pragma once

#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <string>
#include <vector>

// Small image files made in memory with the libraries' own writers, so each test can
// build exactly the picture (or the broken file) it needs.
namespace encoded {

using Bytes = std::vector<unsigned char>;

// samples: width * height * channels of the colour type, big-endian pairs when 16-bit.
Bytes png(int width, int height, int colourType, int bitDepth, const Bytes& samples, bool interlaced = false);
// samples: width * height * components in the given colour space.
Bytes jpeg(int width, int height, J_COLOR_SPACE space, const Bytes& samples, int quality = 95);

// width * height pixels of `components` bytes, each one a copy of `pixel`.
Bytes flat(int width, int height, const Bytes& pixel);

}  // namespace encoded
