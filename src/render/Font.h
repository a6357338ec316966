#pragma once

#include <vector>

// Numbers drawn from the 16 x 16 character grid of the texture "font", as quads in
// normalised device coordinates. Fixed pitch: every glyph is a 0.125 square.
class Font {
public:
    static constexpr float CellSize = 0.125f;
    // digits value asking for as many digits as the number needs.
    static constexpr unsigned AllDigits = static_cast<unsigned>(-1);

    // Where one digit of a number goes: the left edge of its cell and the digit 0..9.
    struct DigitCell {
        float left;
        int digit;
    };

    // The cells of value, last digit first; the number's leftmost cell starts at x.
    // A fixed digit count keeps the lowest digits and pads with leading zeros. A negative
    // value is laid out by its magnitude.
    static std::vector<DigitCell> digitCells(float x, int value, unsigned digits);
    // Draws value with its cells' bottom edge at y.
    static void drawNumber(float x, float y, int value, unsigned digits);
};
