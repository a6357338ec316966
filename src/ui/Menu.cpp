#include "ui/Menu.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/OverlayMatrices.h"
#include "render/SolidTexture.h"
#include "render/TextureManager.h"

namespace {

constexpr int kRoomyEntries = 4;
constexpr double kEntryStep = 6.0;
constexpr double kLowestEntry = -1.0;
constexpr double kColumnSpan = kEntryStep * (kRoomyEntries - 1);

// The entries that are not chosen are drawn this much darker; the chosen one has a glow
// of Glow round its picture, Spread units wide.
constexpr double Dim = 0.6;
constexpr double Glow[4] = {1.0, 0.78, 0.1, 1.0};
constexpr double Spread = 0.3;

void entryQuad(double left, double right) {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex3d(left, 3.0, 0.0);
    glTexCoord2d(1, 0); glVertex3d(right, 3.0, 0.0);
    glTexCoord2d(1, 1); glVertex3d(right, -3.0, 0.0);
    glTexCoord2d(0, 1); glVertex3d(left, -3.0, 0.0);
    glEnd();
}

// The picture's own shape, moved round its place in the glow's colour.
void glow(double left, double right) {
    const SolidTexture solid;
    glColor4dv(Glow);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) {
                glPushMatrix();
                glTranslated(dx * Spread, dy * Spread, 0.0);
                entryQuad(left, right);
                glPopMatrix();
            }
        }
    }
}

}  // namespace

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

void Menu::activateSelected(int player) {
    if (selected < items.size()) {
        acting = player;
        items[selected]->activate();
    }
}

void Menu::adjustSelected(int step, int player) {
    if (selected < items.size()) {
        acting = player;
        items[selected]->adjust(step);
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
    // Four entries fill the space under the title, 6 units apart; a longer column packs
    // its entries into the same space, each drawn smaller, clear of the title.
    const double step = count > kRoomyEntries ? kColumnSpan / (count - 1) : kEntryStep;
    const double scale = step / kEntryStep;
    for (int i = 0; i < count; ++i) {
        glLoadIdentity();
        glTranslated(15.0, kLowestEntry + step * (count - 1 - i), -40.0);
        glScaled(scale, scale, 1.0);
        TextureManager::instance().bind(items[i]->textureName);
        const bool chosen = static_cast<unsigned>(i) == selected;
        const double left = chosen ? sway - 6.0 : -6.0;
        const double right = left + 12.0;
        if (chosen) {
            glow(left, right);
            glColor3d(1.0, 1.0, 1.0);
        } else {
            glColor3d(Dim, Dim, Dim);
        }
        entryQuad(left, right);
    }
    glColor3d(1.0, 1.0, 1.0);

    glClear(GL_DEPTH_BUFFER_BIT);
}
