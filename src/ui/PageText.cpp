#include "ui/PageText.h"

#include <GL/gl.h>

#include "render/Font.h"
#include "render/TextureManager.h"

namespace {

constexpr double kMenuAspect = 4.0 / 3.0;

}  // namespace

PageText::PageText(int windowWidth, int windowHeight) {
    const double aspect = static_cast<double>(windowWidth) / (windowHeight > 0 ? windowHeight : 1);
    // Only a window wider than 4:3 widens the view; a narrower one keeps the column full.
    const double halfWidth = aspect > kMenuAspect ? aspect / kMenuAspect : 1.0;
    glMatrixMode(GL_PROJECTION);
    glOrtho(-halfWidth, halfWidth, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glColor4d(1.0, 1.0, 1.0, 1.0);
}

PageText::~PageText() {
    TextureManager::instance().unbind();
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glEnable(GL_DEPTH_TEST);
}

void PageText::line(const std::string& text, float x, float y, float size, Align align, float width) const {
    const float fitted = Font::sizeToFit(text, width, size);
    const float textWidth = Font::textWidth(text, fitted);
    const float left = align == Align::Left ? x : align == Align::Centre ? x - textWidth / 2.0f : x - textWidth;
    // A shrunk line keeps its baseline centred on the full size's.
    Font::drawText(left, y + (size - fitted) / 2.0f, text, fitted);
}

void PageText::band(float left, float right, float y, float size, float red, float green, float blue) const {
    TextureManager::instance().unbind();
    glColor4f(red, green, blue, 0.8f);
    glBegin(GL_QUADS);
    glVertex3f(left, y - size * 0.15f, 0.0f);
    glVertex3f(right, y - size * 0.15f, 0.0f);
    glVertex3f(right, y + size * 1.05f, 0.0f);
    glVertex3f(left, y + size * 1.05f, 0.0f);
    glEnd();
    glColor4d(1.0, 1.0, 1.0, 1.0);
}
