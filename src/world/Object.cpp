#include "world/Object.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iostream>
#include <memory>

#include "core/Game.h"
#include "core/Settings.h"
#include "render/TextureManager.h"
#include "world/Message.h"
#include "world/StateHasher.h"

namespace {

bool regionsShown() {
    static const bool shown = Settings::instance().getInt("showRegions") == 1;
    return shown;
}

struct QuadricDeleter {
    void operator()(GLUquadric* q) const { gluDeleteQuadric(q); }
};

GLUquadric* regionQuadric() {
    static std::unique_ptr<GLUquadric, QuadricDeleter> quadric(gluNewQuadric());
    return quadric.get();
}

}  // namespace

void Object::update(int) {}

void Object::afterUpdate() {}

void Object::draw() { drawRegions(); }

void Object::kill() { removed = true; }

const RegionList& Object::regions() const {
    static const RegionList none;
    return none;
}

void Object::message(Object*, int message) {
    if (message == Removed || message == Explosion) {
        return;
    }
    std::cout << "Unhandled message: " << message << "\n";
}

void Object::disintegrate() {}

void Object::digest(StateHasher& h) const { h << position << removed << drawLast; }

const char* Object::digestName() const { return "Object"; }

void Object::rememberTickStart(unsigned tick) {
    tickStartPosition = position;
    tickStart = tick;
}

// An object never in a running world is drawn as it is without asking the game, so
// drawing one needs no game around it.
double Object::drawBlend() const { return tickStart == 0 ? 1.0 : Game::instance().drawBlend(tickStart); }

Vec3 Object::drawnPosition() const {
    const double blend = drawBlend();
    if (blend >= 1.0) {
        return position;
    }
    return tickStartPosition + (position - tickStartPosition) * blend;
}

void Object::drawRegions() const {
    if (!regionsShown()) {
        return;
    }
    // The disks face down; a figure drawing a held body may have back faces culled.
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_CULL_FACE);
    glPushMatrix();
    TextureManager::instance().unbind();
    glTranslated(position.x, 0.0, position.z);
    glColor3d(1.0, 0.0, 0.0);
    for (const Region& region : regions()) {
        glPushMatrix();
        glTranslated(region.offset.x, region.offset.y, region.offset.z);
        glRotated(90.0, 1.0, 0.0, 0.0);
        gluDisk(regionQuadric(), 0.0, region.radius, 9, 1);
        glPopMatrix();
    }
    glPopMatrix();
    glPopAttrib();
}
