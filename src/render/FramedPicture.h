#pragma once

#include "render/PictureFrame.h"

// A 4:3 picture (a menu's background, a cutscene slide) shown over the whole window: the
// picture itself fills the frame and its outermost columns and rows are stretched over
// the rest of a wider or taller window, so the ruled page runs on to the window's edges
// instead of stopping at a band. Sets the whole window as viewport, in pixels, for its
// lifetime, and gives back the viewport and both matrices when it goes.
class FramedPicture {
public:
    explicit FramedPicture(const PictureFrame& frame);
    ~FramedPicture();
    FramedPicture(const FramedPicture&) = delete;
    FramedPicture& operator=(const FramedPicture&) = delete;

    // Draws the bound texture in the current colour at depth z (-1 to 1). `topRow` is the
    // texture's t at the picture's upper edge: 0 for images stored top row first, 1 for
    // those stored upside down.
    void draw(double z, double topRow) const;

private:
    PictureFrame frame;
    int previousViewport[4] = {0, 0, 0, 0};
};
