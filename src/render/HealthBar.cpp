#include "render/HealthBar.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"

namespace {

constexpr double kTrailDrainPerMs = 0.0001;
constexpr double kIconSpacing = 1.5;

bool isHalfSlot(int slot) { return slot == HealthBar::LeftSlot || slot == HealthBar::RightSlot; }

void untexturedRect(const HealthBar::Rect& r) {
    glBegin(GL_QUADS);
    glVertex3d(r.left, r.bottom, 0.0);
    glVertex3d(r.left, r.top, 0.0);
    glVertex3d(r.right, r.top, 0.0);
    glVertex3d(r.right, r.bottom, 0.0);
    glEnd();
}

// The pen picture is stored upside down: its top row belongs at the frame's bottom.
void frameRect(const HealthBar::Rect& r) {
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0); glVertex3d(r.left, r.bottom, 0.0);
    glTexCoord2d(0, 1); glVertex3d(r.left, r.top, 0.0);
    glTexCoord2d(1, 1); glVertex3d(r.right, r.top, 0.0);
    glTexCoord2d(1, 0); glVertex3d(r.right, r.bottom, 0.0);
    glEnd();
}

void icon(const char* texture, double x, double y, bool mirrored) {
    const double sLeft = mirrored ? 1.0 : 0.0;
    const double sRight = 1.0 - sLeft;
    TextureManager::instance().bind(texture);
    glPushMatrix();
    glTranslated(x, y, 0.0);
    glBegin(GL_QUADS);
    glTexCoord2d(sLeft, 0); glVertex3d(-0.5, 0.5, 0.0);
    glTexCoord2d(sRight, 0); glVertex3d(0.5, 0.5, 0.0);
    glTexCoord2d(sRight, 1); glVertex3d(0.5, -0.5, 0.0);
    glTexCoord2d(sLeft, 1); glVertex3d(-0.5, -0.5, 0.0);
    glEnd();
    glPopMatrix();
}

}  // namespace

HealthBar::HealthBar() {
    position = Vec3(0, 0, 300);
    drawLast = true;
}

void HealthBar::update(int milliseconds) {
    if (health < shownHealth) {
        shownHealth = shownHealth - static_cast<float>(milliseconds * kTrailDrainPerMs);
    } else {
        shownHealth = health;
    }
}

HealthBar::Rect HealthBar::frameOf(int slot) {
    if (isHalfSlot(slot)) {
        return {-0.9, 0.9, 0.6, 1.0};
    }
    return {-0.7, 0.7, 0.7, 1.0};
}

// Health can be written below zero by a hard hit and the trail undershoots by a step;
// neither may push the bar outside its frame.
HealthBar::Rect HealthBar::barOf(const Rect& frame, double value) {
    const double w = frame.right - frame.left;
    const double h = frame.top - frame.bottom;
    const double start = frame.left + 0.25 * w;
    const double fullLength = 0.9375 * w - 0.25 * w;
    return {start, start + fullLength * std::clamp(value, 0.0, 1.0), frame.bottom + 0.4375 * h,
            frame.bottom + 0.625 * h};
}

void HealthBar::draw() {
    const OverlayMatrices overlay;

    if (isHalfSlot(slot)) {
        glTranslated(slot == LeftSlot ? -0.5 : 0.5, 0.0, 0.0);
        glScaled(0.5, 0.5, 1.0);
        glTranslated(0.0, 1.0, 0.0);
    }
    const Rect frame = frameOf(slot);

    TextureManager& textures = TextureManager::instance();
    textures.unbind();
    glColor3d(0.5, 0.5, 0.5);
    untexturedRect(barOf(frame, shownHealth));
    // Same depth as the trail: the less-or-equal depth test lets the colour cover it.
    glColor4dv(colour.data());
    untexturedRect(barOf(frame, health));

    textures.bind("pen");
    glColor3d(1.0, 1.0, 1.0);
    frameRect(frame);

    glTranslated((frame.left + frame.right) / 2.0, frame.bottom - 0.15, 0.0);
    glScaled(0.1, 0.1, 0.1);
    if (icons & ArmIcon) {
        icon("arm", 0.0, 0.0, false);
    }
    if (icons & LegIcon) {
        icon("leg", 0.0, -kIconSpacing, false);
    }
    if (icons & HeadIcon) {
        icon("head", 0.0, kIconSpacing, false);
    }
    if (icons & BazookaIcon) {
        icon("bazooka", -kIconSpacing, 0.0, true);
        icon("bazooka", kIconSpacing, 0.0, false);
    }
}
