#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

// RGBA PNG pictures painted pixel by pixel, for tests that need real textures to look at.
namespace picture {

using Rgba = std::array<unsigned char, 4>;
// x to the right, y downwards from the image's top row.
using Painter = std::function<Rgba(int x, int y)>;

std::vector<unsigned char> png(int width, int height, const Painter& paint);
std::vector<unsigned char> solidPng(int width, int height, Rgba colour);

}  // namespace picture
