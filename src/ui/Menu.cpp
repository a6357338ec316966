#include "ui/Menu.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"

Menu::~Menu() = default;

void Menu::update(int milliseconds) { elapsed += static_cast<unsigned>(milliseconds); }

void Menu::selectPrevious() {
    if (items.empty()) {
        return;
    }
    selected = static_cast<unsigned>((selected + items.size() - 1) % items.size());
}

void Menu::selectNext() {
    selected += 1;
    if (selected >= items.size()) {
        selected = 0;
    }
}

void Menu::activateSelected() {
    if (selected < items.size()) {
        items[selected]->activate();
    }
}

void Menu::draw() {
    const OverlayMatrices overlay;
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 4.0f / 3.0f, 1.0, 100.0);
    glTranslated(0.0, -18.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColor3d(1.0, 1.0, 1.0);

    const float sway = std::sin(static_cast<float>(elapsed * 0.005));
    const int count = static_cast<int>(items.size());
    for (int i = 0; i < count; ++i) {
        glLoadIdentity();
        glTranslated(15.0, 6.0 * (count - i) - 7.0, -40.0);
        TextureManager::instance().bind(items[i]->textureName);
        const double left = (static_cast<unsigned>(i) == selected) ? sway - 6.0 : -6.0;
        const double right = left + 12.0;
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0); glVertex3d(left, 3.0, 0.0);
        glTexCoord2d(1, 0); glVertex3d(right, 3.0, 0.0);
        glTexCoord2d(1, 1); glVertex3d(right, -3.0, 0.0);
        glTexCoord2d(0, 1); glVertex3d(left, -3.0, 0.0);
        glEnd();
    }

    glClear(GL_DEPTH_BUFFER_BIT);
}
