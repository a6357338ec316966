#pragma once

#include "render/Image.h"

#include <optional>
#include <string>

// Reads colour, grey-scale and CMYK JPEG files into smooth 8-bit RGB images.
// Every failure has already been reported when decode answers nothing.
class JpegDecoder {
public:
    static std::optional<Image> decode(const std::string& path);
};
