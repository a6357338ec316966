#include "world/Ink.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/TextureManager.h"

namespace {

// Ink reads its keys at different moments: the pool size once at creation, gravity at
// the first update after the settings changed, blood mode at every spray so it can be
// toggled.
int maxSplatsSetting() { return Settings::instance().getIntWithin("maxSplats", limits::inkDrops); }
double gravitySetting() {
    static SettingsCache<double> value([] { return Settings::instance().getFloatWithin("gravity", limits::gravity); });
    return value.get();
}
bool bloodModeSetting() { return Settings::instance().getInt("bloodMode") != 0; }

constexpr double kShrinkRate = 0.1;
const Color kBloodColour(0.7, 0.0, 0.0, 1.0);

struct FanPoint {
    double a;
    double b;
};

// A drop seen from the front: a ragged star in the x-y plane.
const FanPoint kDropFan[] = {{0, 0},  {1, -1},    {1.6, 0}, {1, 1},  {0, 1.2},
                             {-1, 1}, {-1.9, 0}, {-1, -1}, {0, -1.1}, {1, -1}};
// A splat lying on the floor: a wider star in the x-z plane.
const FanPoint kSplatFan[] = {{0, 0},  {1, -1},    {1.7, 0}, {1, 1},  {0, 1.8},
                              {-1, 1}, {-1.6, 0}, {-1, -1}, {0, -1.9}, {1, -1}};

double signedRandom() { return 2.0 * visualRandom15() / 32768.0 - 1.0; }

// base reduced by up to `variance`. Written as a subtraction rather than a fraction of
// base so that a base of 0 gives a value instead of 0/0.
double varied(double base, double variance) { return base - visualRandomUnit() * variance; }

void drawDrop(const InkParticle& drop, double blend) {
    const Vec3 at =
        blend >= 1.0 ? drop.position : drop.tickStartPosition + (drop.position - drop.tickStartPosition) * blend;
    glPushMatrix();
    glColor4dv(drop.colour.data());
    glTranslated(at.x, at.y, at.z);
    glRotated(drop.angle, 0.0, 0.0, 1.0);
    glScaled(drop.size, drop.size, 1.0);
    glBegin(GL_TRIANGLE_FAN);
    for (const FanPoint& point : kDropFan) {
        glVertex3d(point.a, point.b, 0.0);
    }
    glEnd();
    glPopMatrix();
}

void drawSplat(const InkParticle& splat) {
    glPushMatrix();
    glColor4dv(splat.colour.data());
    glTranslated(splat.position.x, splat.position.y, splat.position.z);
    glRotated(splat.angle, 0.0, 1.0, 0.0);
    glScaled(splat.size, 1.0, splat.size);
    glBegin(GL_TRIANGLE_FAN);
    for (const FanPoint& point : kSplatFan) {
        glVertex3d(point.a, 0.0, point.b);
    }
    glEnd();
    glPopMatrix();
}

// A drop with everything but its velocity, which depends on the kind of spray.
InkParticle newDrop(const Vec3& position, const Color& colour, double size, double sizeVariance) {
    InkParticle drop;
    drop.position = position;
    drop.tickStartPosition = position;
    drop.shrinkRate = static_cast<float>(kShrinkRate);
    drop.makesSplat = true;
    drop.colour = colour;
    drop.angle = static_cast<float>(visualRandomUnit() * 360.0);
    drop.spin = static_cast<float>(visualRandomUnit() * 90.0);
    drop.size = static_cast<float>(varied(size, sizeVariance));
    return drop;
}

}  // namespace

Ink::Pool::Pool(int capacity)
    : entries(static_cast<std::size_t>(std::clamp(capacity, 0, limits::inkDrops.highest))) {}

InkParticle* Ink::Pool::slot() {
    if (entries.empty()) {
        return nullptr;
    }
    if (!full()) {
        return &entries[active++];
    }
    const int index = static_cast<int>(visualRandomUnit() * capacity());
    return &entries[index];
}

void Ink::Pool::remove(int index) {
    --active;
    if (index != active) {
        entries[index] = entries[active];
    }
}

Ink& Ink::instance() {
    static Ink ink;
    return ink;
}

Ink::Ink()
    : particles(maxSplatsSetting()), splats(particles.capacity()), fading(particles.capacity()) {
    clear();
}

void Ink::clear() {
    particles.clear();
    splats.clear();
    fading.clear();
}

void Ink::add(const InkParticle& drop) {
    if (InkParticle* place = particles.slot()) {
        *place = drop;
    }
}

void Ink::land(const InkParticle& drop) {
    const bool floorFull = splats.full();
    InkParticle* place = splats.slot();
    if (place == nullptr) {
        return;
    }
    if (floorFull) {
        if (InkParticle* fadingPlace = fading.slot()) {
            *fadingPlace = *place;
        }
    }
    *place = drop;
}

void Ink::spray(const Vec3& position, const Vec3& direction, const Color& colour, double speed,
                double speedVariance, double size, double sizeVariance, double phi, int count,
                double chance) {
    const Color& dropColour = bloodModeSetting() ? kBloodColour : colour;
    const Vec3 across = direction.cross(Vec3(0.0, 0.0, 1.0));
    const Vec3 up = across.cross(direction);
    for (int i = 0; i < count; ++i) {
        if (visualRandomUnit() > chance) {
            continue;
        }
        const double dropSpeed = varied(speed, speedVariance);
        const double s1 = signedRandom();
        const double s2 = signedRandom();
        InkParticle drop = newDrop(position, dropColour, size, sizeVariance);
        drop.velocity = (direction + across * (s2 * phi) + up * (s1 * phi)) * dropSpeed;
        add(drop);
    }
}

void Ink::burst(const Vec3& position, double speed, double speedVariance, double size,
                double sizeVariance, int count, const Color& colour) {
    const Color& dropColour = bloodModeSetting() ? kBloodColour : colour;
    for (int i = 0; i < count; ++i) {
        const double dropSpeed = varied(speed, speedVariance);
        const double s1 = signedRandom();
        const double s2 = signedRandom();
        const double s3 = signedRandom();
        InkParticle drop = newDrop(position, dropColour, size, sizeVariance);
        drop.velocity = Vec3(s1, s2, s3) * dropSpeed;
        add(drop);
    }
}

void Ink::update(int milliseconds) {
    const double gravity = gravitySetting();
    const double seconds = milliseconds / 1000.0;

    // A removal pulls the last drop into place i, so i only advances past kept drops.
    for (int i = 0; i < particles.count();) {
        InkParticle& drop = particles[i];
        drop.tickStartPosition = drop.position;
        drop.position += drop.velocity * seconds;
        drop.velocity.y -= milliseconds * gravity / 1000.0;
        drop.angle += static_cast<float>(seconds * drop.spin);
        if (drop.position.y >= 0.0) {
            ++i;
            continue;
        }
        InkParticle landed = drop;
        particles.remove(i);
        if (landed.makesSplat) {
            landed.position.y = 0.0;
            land(landed);
        }
    }

    for (int i = 0; i < fading.count();) {
        InkParticle& splat = fading[i];
        splat.size -= static_cast<float>(seconds * splat.shrinkRate);
        if (splat.size <= 0.0f) {
            fading.remove(i);
        } else {
            ++i;
        }
    }
}

void Ink::draw(double blend) const {
    TextureManager::instance().unbind();
    for (int i = 0; i < particles.count(); ++i) {
        drawDrop(particles[i], blend);
    }
    for (int i = 0; i < splats.count(); ++i) {
        drawSplat(splats[i]);
    }
    for (int i = 0; i < fading.count(); ++i) {
        drawSplat(fading[i]);
    }
}
