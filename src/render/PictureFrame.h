#pragma once

// Where the game's 4:3 picture sits in a window of any shape: centred, as large as the
// window allows. Menus, cutscene slides, the HUD and the figures of a level are drawn
// inside it exactly as in a 4:3 window; the rest of a wider or taller window shows more
// of the page they are drawn on (the level's wall and floor, the edges of a menu's or a
// slide's picture), never an empty band. Pixel rectangles count from the window's lower
// left corner, as glViewport does.
class PictureFrame {
public:
    // A side of 0 counts as 1.
    PictureFrame(int windowWidth, int windowHeight);

    int windowWidth() const { return windowW; }
    int windowHeight() const { return windowH; }
    int left() const { return frameLeft; }
    int bottom() const { return frameBottom; }
    int width() const { return frameW; }
    int height() const { return frameH; }

    double windowAspect() const { return static_cast<double>(windowW) / windowH; }
    double frameAspect() const { return static_cast<double>(frameW) / frameH; }
    // How many times taller the window is than the frame: 1 in a window at least as wide
    // as 4:3, more in a narrower one.
    double heightRatio() const { return static_cast<double>(windowH) / frameH; }

    // Sets the viewport to the whole window, or to the frame.
    void useWindow() const;
    void useFrame() const;

private:
    int windowW;
    int windowH;
    int frameLeft = 0;
    int frameBottom = 0;
    int frameW;
    int frameH;
};
