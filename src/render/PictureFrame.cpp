#include "render/PictureFrame.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

// The margins on both sides are equal, so the frame's centre is the window's and a
// picture drawn over the whole window lines up with one drawn in the frame.
PictureFrame::PictureFrame(int windowWidth, int windowHeight)
    : windowW(std::max(windowWidth, 1)), windowH(std::max(windowHeight, 1)), frameW(windowW), frameH(windowH) {
    const long wide = std::lround(windowH * 4.0 / 3.0);
    if (wide < windowW) {
        frameLeft = static_cast<int>((windowW - wide) / 2);
        frameW = windowW - 2 * frameLeft;
        return;
    }
    const long tall = std::lround(windowW * 3.0 / 4.0);
    if (tall < windowH) {
        frameBottom = static_cast<int>((windowH - tall) / 2);
        frameH = windowH - 2 * frameBottom;
    }
}

void PictureFrame::useWindow() const { glViewport(0, 0, windowW, windowH); }

void PictureFrame::useFrame() const { glViewport(frameLeft, frameBottom, frameW, frameH); }
