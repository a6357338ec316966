#include "world/Head.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "audio/SoundManager.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/FaceCulling.h"
#include "render/ShapeLists.h"
#include "render/TextureManager.h"
#include "world/Message.h"
#include "world/ParticleEffect.h"
#include "world/StateHasher.h"

namespace {

// Gravity is read on the first update of any head, and the drip's reference throw count
// on the first draw, both kept until the settings change. The radius, the throw count of a new head and
// the straight-flight time are read at each use so that tuning shows at once.
double gravity() {
    static SettingsCache<double> value([] { return Settings::instance().getFloatWithin("gravity", limits::gravity); });
    return value.get();
}
int throwsPerHeadForDrip() {
    static SettingsCache<int> value([] { return Settings::instance().getIntWithin("throwsPerHead", limits::uses); });
    return value.get();
}
double headRadius() { return Settings::instance().getFloatWithin("headRadius", limits::bodySize); }
int throwsPerHead() { return Settings::instance().getIntWithin("throwsPerHead", limits::uses); }
int throwDuration() { return Settings::instance().getIntWithin("throwDuration", limits::duration); }

const ParticleEffect& explodeEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("headExplode"); });
    return effect.get();
}
const ParticleEffect& dripEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("headDrip"); });
    return effect.get();
}
const ParticleEffect& shotEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("headShot"); });
    return effect.get();
}
const ParticleEffect& disintegrateEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("disintegrate"); });
    return effect.get();
}


}  // namespace

Head::Head(const Color& c) : colour(c), remainingThrows(throwsPerHead()) {}

Head::~Head() = default;

const RegionList& Head::regions() const {
    static SettingsCache<RegionList> lying([] { return RegionList{Region{RegionType::Pickup, Vec3(), headRadius()}}; });
    static SettingsCache<RegionList> inFlight([] {
        return RegionList{Region{RegionType::Attack, Vec3(), headRadius()},
                          Region{RegionType::Solid, Vec3(), headRadius()}};
    });
    return flying ? inFlight.get() : lying.get();
}

void Head::launch(const Vec3& newVelocity, bool asShot) {
    velocity = newVelocity;
    flying = true;
    flightTimer = throwDuration();
    if (remainingThrows > 0) {
        --remainingThrows;
    }
    shot = asShot;
}

void Head::update(int milliseconds) {
    if (flying) {
        flightTimer = std::max(0, flightTimer - milliseconds);
    }
    position += velocity * milliseconds / 1000.0;
    const double radius = headRadius();
    if (position.y > radius && flightTimer == 0) {
        velocity.y -= milliseconds * gravity() / 1000.0;
    }
    if (position.y < radius) {
        position.y = radius;
        velocity = Vec3();
        flying = false;
        shot = false;
        flightTimer = 0;
        if (remainingThrows == 0) {
            kill();
        }
    }
}

void Head::message(Object* from, int message) {
    if (message != HitLanded && message != Bump) {
        Object::message(from, message);
        return;
    }
    if (shot) {
        explode();
    }
    // Whatever it struck, the head stops and drops to the floor.
    velocity = Vec3();
    flightTimer = 0;
    flying = false;
}

void Head::explode() {
    explodeEffect().burst(position, colour);
    SoundManager::instance().playSound("bazookasplash", 1, 1.0f);
    kill();
    shot = false;
    Game::instance().broadcast(this, Explosion);
}

void Head::draw() {
    // A file may allow no throws at all; such a head is already spent and barely bleeds.
    const int fullThrows = throwsPerHeadForDrip();
    const double fresh = fullThrows > 0 ? static_cast<double>(remainingThrows) / fullThrows : 0.0;

    {
        const FaceCulling culling;
        TextureManager::instance().unbind();
        glColor4dv(colour.data());
        const Vec3 at = drawnPosition();
        glPushMatrix();
        glTranslated(at.x, at.y, at.z);
        ShapeLists::instance().drawBall(headRadius());
        Game& game = Game::instance();
        dripEffect().emit(game.currentWorldPosition(), Vec3(0.0, -0.1, 0.0), colour,
                          0.25 * fresh + 0.05);
        if (shot) {
            const Vec3 trail = velocity.x < 0.0 ? Vec3(1.0, 0.0, 0.0) : Vec3(-1.0, 0.0, 0.0);
            shotEffect().emit(game.currentWorldPosition(), trail, colour, 1.0);
        }
        glPopMatrix();
    }
    Object::draw();
}

void Head::disintegrate() {
    if (flying) {
        return;
    }
    if (random15() * 10 / 32768 == 0) {
        disintegrateEffect().burst(position, colour);
        kill();
    }
}

void Head::digest(StateHasher& h) const {
    Object::digest(h);
    h << flying << shot << remainingThrows << velocity;
}

const char* Head::digestName() const { return "Head"; }
