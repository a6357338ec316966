#include "world/Obstacle.h"

#include <GL/gl.h>

#include <memory>

#include "audio/SoundManager.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/TextureManager.h"
#include "world/Health.h"
#include "world/Message.h"
#include "world/ParticleEffect.h"
#include "world/StateHasher.h"

namespace {

// Read on the first update of any obstacle and shared until the settings change.
double gravity() {
    static SettingsCache<double> value([] { return Settings::instance().getFloatWithin("gravity", limits::gravity); });
    return value.get();
}

constexpr int kBouncesBeforeGone = 3;
const Vec3 kFlyRight(5.0, 15.0, 0.0);
const Vec3 kFlyLeft(-5.0, 15.0, 0.0);
const Color kDebrisColour(0.5, 0.2f, 0.2f, 1.0);

const ParticleEffect& breakEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("obstacleBreak"); });
    return effect.get();
}

std::unique_ptr<Object> makeContents(int contents) {
    switch (contents) {
    case 2:
        return std::make_unique<SmallHealth>();
    case 3:
        return std::make_unique<MediumHealth>();
    case 4:
        return std::make_unique<LargeHealth>();
    default:
        return nullptr;
    }
}

}  // namespace

Obstacle::Obstacle(const std::string& texture_, double radius_, double width_, double height_,
                   int contents_)
    : texture(texture_), width(width_), height(height_), radius(radius_), contents(contents_) {
    ownRegions.push_back(Region{RegionType::Solid, Vec3(), radius});
    if (contents != 0) {
        ownRegions.push_back(Region{RegionType::Body, Vec3(), radius});
    }
    drawLast = true;
}

Obstacle::~Obstacle() = default;

const RegionList& Obstacle::regions() const {
    static const RegionList none;
    return broken ? none : ownRegions;
}

void Obstacle::message(Object* from, int message) {
    switch (message) {
    case Hit:
        // Two fists over the crate in one tick must not break it, and drop its pickup, twice.
        if (!broken) {
            breakApart(from);
        }
        break;
    case Bump:
        break;
    default:
        Object::message(from, message);
        break;
    }
}

void Obstacle::breakApart(const Object* attacker) {
    std::unique_ptr<Object> pickup = makeContents(contents);
    SoundManager::instance().playSound("obstaclehit", 1, 1.0f);
    if (pickup) {
        pickup->position = position;
        Game::instance().addObject(std::move(pickup));
    }
    breakEffect().emit(position, Vec3(0.0, 1.0, 0.0), kDebrisColour, 1.0);
    broken = true;
    const bool awayToTheRight = attacker != nullptr && position.x > attacker->position.x;
    velocity = awayToTheRight ? kFlyRight : kFlyLeft;
}

void Obstacle::update(int milliseconds) {
    if (!broken) {
        return;
    }
    ++brokenTicks;
    // Debris moves at half speed so the player can watch it go.
    const double t = milliseconds / 1000.0 / 2.0;
    position += velocity * t;
    velocity.y -= gravity() * t;
    if (position.y < 0.0) {
        position.y = 0.0;
        velocity.y = -velocity.y * 0.5;
        ++bounces;
        if (bounces >= kBouncesBeforeGone) {
            kill();
        }
    }
}

void Obstacle::draw() {
    Object::draw();
    if (broken && (brokenTicks / 2) % 2 == 1) {
        return;
    }
    const double w = static_cast<float>(width);
    const double h = static_cast<float>(height);
    TextureManager::instance().bind(texture);
    glPushMatrix();
    glColor3d(1.0, 1.0, 1.0);
    glTranslated(position.x, position.y, position.z);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex3d(-w / 2.0, h, 0.0);
    glTexCoord2d(1.0, 0.0);
    glVertex3d(w / 2.0, h, 0.0);
    glTexCoord2d(1.0, 1.0);
    glVertex3d(w / 2.0, 0.0, 0.0);
    glTexCoord2d(0.0, 1.0);
    glVertex3d(-w / 2.0, 0.0, 0.0);
    glEnd();
    glPopMatrix();
}

void Obstacle::digest(StateHasher& h) const {
    Object::digest(h);
    h << broken << contents << radius;
}

const char* Obstacle::digestName() const { return "Obstacle"; }
