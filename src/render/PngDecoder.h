#pragma once

#include "render/Image.h"

#include <optional>
#include <string>

// Reads 8-bit and 16-bit RGB and RGBA PNG files into 8-bit images (not smooth).
// Every failure has already been reported when decode answers nothing.
class PngDecoder {
public:
    static std::optional<Image> decode(const std::string& path);
};
