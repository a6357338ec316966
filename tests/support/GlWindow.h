#pragma once

#include <string>
#include <vector>

// A real GLUT window with a current GL context (tests run under Xvfb with Mesa's
// software renderer). Creating a second one in the same process reuses the first.
class GlWindow {
public:
    GlWindow(int width = 640, int height = 480);

    int width() const { return w; }
    int height() const { return h; }
    // Reads the back buffer (RGB, bottom row first, as glReadPixels gives it).
    std::vector<unsigned char> readBackBuffer() const;
    // Saves the back buffer as a binary PPM (top row first) for a person to look at.
    void saveBackBuffer(const std::string& path) const;
    // Saves the back buffer as <screens folder>/<name>.png for a person to look at.
    void saveScreenshot(const std::string& name) const;

private:
    int w;
    int h;
};
