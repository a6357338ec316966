#include "support/GlWindow.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <fstream>

#include "support/PictureFile.h"
#include "support/Screens.h"
#include <stdexcept>

namespace {
int theWindow = 0;

// Mesa loads its driver with dlopen and unloads it at exit, before LeakSanitizer looks:
// the driver's allocations would then come from an unknown module that the suppressions
// cannot name. Kept loaded, they are reported under the driver's own file name.
void keepGlDriversLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            const std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (path.find("/dri/") != std::string::npos || path.find("libLLVM") != std::string::npos ||
                path.find("libgallium") != std::string::npos) {
                dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
}  // namespace

GlWindow::GlWindow(int width, int height) : w(width), h(height) {
    if (std::getenv("DISPLAY") == nullptr) {
        throw std::runtime_error("GL tests need an X display: run the suite under xvfb-run");
    }
    if (theWindow == 0) {
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(width, height);
        theWindow = glutCreateWindow("Margin Brawler test");
        keepGlDriversLoaded();
        glutDisplayFunc([] {});
    } else {
        glutReshapeWindow(width, height);
    }
    glViewport(0, 0, width, height);
}

std::vector<unsigned char> GlWindow::readBackBuffer() const {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void GlWindow::saveBackBuffer(const std::string& path) const {
    const std::vector<unsigned char> pixels = readBackBuffer();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (int row = h - 1; row >= 0; --row) {
        out.write(reinterpret_cast<const char*>(&pixels[static_cast<std::size_t>(row) * w * 3]), w * 3);
    }
}

void GlWindow::saveScreenshot(const std::string& name) const {
    const std::vector<unsigned char> pixels = readBackBuffer();
    const int rowBytes = w * 3;
    const std::vector<unsigned char> encoded = picture::png(w, h, [&](int x, int y) -> picture::Rgba {
        const std::size_t i = static_cast<std::size_t>(h - 1 - y) * rowBytes + static_cast<std::size_t>(x) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2], 255};
    });
    std::ofstream out(screensDirectory() + "/" + name + ".png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(encoded.data()), static_cast<std::streamsize>(encoded.size()));
}
