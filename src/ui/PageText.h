#pragma once

#include <string>

#include "render/OverlayMatrices.h"

// Lines of text in the game's font on a page that keeps the 4:3 shape of the menus
// whatever the window's shape: x from -1 to 1 spans a 4:3 column centred in the window
// (a wider window shows paper either side), y from -1 to 1 its height. Draws over
// everything while it lives; the matrices and depth test come back afterwards.
class PageText {
public:
    enum class Align { Left, Centre, Right };

    PageText(int windowWidth, int windowHeight);
    ~PageText();
    PageText(const PageText&) = delete;
    PageText& operator=(const PageText&) = delete;

    // Text with its bottom edge at y in letters `size` high, shrunk to fit `width` when
    // it would not; x is its left edge, centre or right edge by `align`.
    void line(const std::string& text, float x, float y, float size, Align align, float width = 2.0f) const;
    // A band of the given colour behind a line of letters `size` high at y.
    void band(float left, float right, float y, float size, float red, float green, float blue) const;

private:
    OverlayMatrices matrices;
};
