#pragma once

#include <string>
#include <vector>

#include "world/Color.h"

// Numbers and lines of text drawn from the 16 x 16 character grid of the texture "font"
// (byte code c in column c mod 16, row c div 16), as quads in normalised device
// coordinates. Fixed pitch: a number's glyphs are 0.125 squares, a line's any size;
// a line's letters stand closer than a number's digits, as a glyph fills little more
// than half its cell.
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
    static constexpr float TextPitch = 0.6f;

    // Draws text from left edge x, bottom edge y, in cells `size` high, one every
    // TextPitch * size. A byte the grid has no glyph for (control codes, anything past
    // '~') shows as '?', so a message carrying a stray byte still reads.
    static void drawText(float x, float y, const std::string& text, float size);
    static float textWidth(const std::string& text, float size);
    // drawText with every glyph filled in `fill` (the grid's own ink colour ignored) over
    // a rim of `outline`, so a line reads on a light page and a dark ink blot alike.
    static void drawOutlinedText(float x, float y, const std::string& text, float size, const Color& fill,
                                 const Color& outline);
    // The cell size that fits text into `width`, no larger than `largest`.
    static float sizeToFit(const std::string& text, float width, float largest);
};
