#include "world/Health.h"

#include <GL/gl.h>

#include "render/TextureManager.h"
#include "world/StateHasher.h"

Health::Health(float amount_) : healAmount(amount_) { drawLast = true; }

Health::~Health() = default;

const RegionList& Health::regions() const {
    static const RegionList pickup{Region{RegionType::Pickup, Vec3(), 0.5}};
    return pickup;
}

void Health::draw() {
    Object::draw();
    TextureManager::instance().bind(texture);
    glPushMatrix();
    glColor3d(1.0, 1.0, 1.0);
    glTranslated(position.x, position.y, position.z);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex3d(-2.0, 4.0, 0.0);
    glTexCoord2d(1.0, 0.0);
    glVertex3d(2.0, 4.0, 0.0);
    glTexCoord2d(1.0, 1.0);
    glVertex3d(2.0, 0.0, 0.0);
    glTexCoord2d(0.0, 1.0);
    glVertex3d(-2.0, 0.0, 0.0);
    glEnd();
    glPopMatrix();
}

void Health::digest(StateHasher& h) const {
    Object::digest(h);
    h << healAmount;
}

const char* Health::digestName() const { return "Health"; }

SmallHealth::SmallHealth() : Health(50.0f) { texture = "smallink"; }
MediumHealth::MediumHealth() : Health(150.0f) { texture = "medink"; }
LargeHealth::LargeHealth() : Health(300.0f) { texture = "largeink"; }
