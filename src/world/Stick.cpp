#include "world/Stick.h"

#include <GL/gl.h>

#include <cstdlib>

#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/FaceCulling.h"
#include "render/ShapeLists.h"
#include "render/TextureManager.h"
#include "world/ParticleEffect.h"
#include "world/StateHasher.h"

namespace {

// The swing count of a new stick is read at each construction; the drip's reference
// count on the first draw, kept until the settings change; the thickness at every draw.
int swingsPerStick() { return Settings::instance().getIntWithin("swingsPerStick", limits::uses); }
int swingsPerStickForDrip() {
    static SettingsCache<int> value([] { return Settings::instance().getIntWithin("swingsPerStick", limits::uses); });
    return value.get();
}
double stickRadius() { return Settings::instance().getFloatWithin("stickRadius", limits::bodySize); }

constexpr double kHalfLength = 1.2;
constexpr double kLength = 2.4;

const ParticleEffect& dripEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("stickDrip"); });
    return effect.get();
}
const ParticleEffect& disintegrateEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("disintegrate"); });
    return effect.get();
}


}  // namespace

Stick::Stick(const Color& c) : colour(c), remainingSwings(swingsPerStick()) {}

Stick::~Stick() = default;

const RegionList& Stick::regions() const {
    static const RegionList lying{Region{RegionType::Pickup, Vec3(), kHalfLength}};
    return lying;
}

void Stick::setSwinging(bool value) {
    swinging = value;
    hitCounted = false;
}

void Stick::registerHit() {
    if (remainingSwings > 0 && !hitCounted) {
        --remainingSwings;
        hitCounted = true;
    }
}

void Stick::update(int) {
    if (remainingSwings == 0) {
        kill();
    }
}

void Stick::draw() {
    // A file may allow no swings at all; such a stick is already spent and barely drips.
    const int fullSwings = swingsPerStickForDrip();
    const double fresh = fullSwings > 0 ? static_cast<double>(remainingSwings) / fullSwings : 0.0;

    {
        const FaceCulling culling;
        TextureManager::instance().unbind();
        glColor4dv(colour.data());
        const Vec3 at = drawnPosition();
        glPushMatrix();
        glTranslated(at.x, at.y, at.z);
        glTranslated(-kHalfLength, 0.0, 0.0);
        glRotated(90.0, 0.0, 1.0, 0.0);
        const double radius = stickRadius();
        glPushMatrix();
        glScaled(radius, radius, kLength);
        ShapeLists::instance().drawClosedTube();
        glPopMatrix();
        glTranslated(0.0, 0.0, kLength);
        const double chance = (swinging ? 0.75 : 0.25) * fresh + 0.05;
        if (chance > visualRandomUnit()) {
            dripEffect().emit(Game::instance().currentWorldPosition(), Vec3(0.0, -0.1, 0.0), colour,
                              1.0);
        }
        glPopMatrix();
    }
    Object::draw();
}

void Stick::disintegrate() {
    if (random15() * 10 / 32768 == 0) {
        disintegrateEffect().burst(position, colour);
        kill();
    }
}

void Stick::digest(StateHasher& h) const {
    Object::digest(h);
    h << swinging << remainingSwings;
}

const char* Stick::digestName() const { return "Stick"; }
