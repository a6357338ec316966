#include "world/Ink.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/PolygonBatch.h"
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
// Drops and splats drawn together in one draw call; the buffer is about 0.25 MB.
constexpr int kPolygonsPerDraw = 1024;
const Color kBloodColour(0.7, 0.0, 0.0, 1.0);

struct FanPoint {
    double a;
    double b;
};

// A drop seen from the front: a ragged star in the x-y plane, a fan from the centre
// round to its first rim point again.
constexpr FanPoint kDropFan[] = {{0, 0},  {1, -1},    {1.6, 0}, {1, 1},  {0, 1.2},
                                 {-1, 1}, {-1.9, 0}, {-1, -1}, {0, -1.1}, {1, -1}};
// A splat lying on the floor: a wider star in the x-z plane.
constexpr FanPoint kSplatFan[] = {{0, 0},  {1, -1},    {1.7, 0}, {1, 1},  {0, 1.8},
                                  {-1, 1}, {-1.6, 0}, {-1, -1}, {0, -1.9}, {1, -1}};

// The rim of a fan, its points after the centre up to the one that closes it. Ink draws
// the rim as one convex polygon (PolygonBatch), which covers the fan's pixels only while
// every turn round the rim goes the same way.
constexpr bool rimIsConvex(const FanPoint (&fan)[10]) {
    for (int i = 1; i <= PolygonBatch::Corners; ++i) {
        const FanPoint& a = fan[i];
        const FanPoint& b = fan[i % PolygonBatch::Corners + 1];
        const FanPoint& c = fan[(i + 1) % PolygonBatch::Corners + 1];
        if ((b.a - a.a) * (c.b - b.b) - (b.b - a.b) * (c.a - b.a) <= 0.0) {
            return false;
        }
    }
    return true;
}
static_assert(rimIsConvex(kDropFan) && rimIsConvex(kSplatFan), "a drop or splat rim is not convex");

double signedRandom() { return 2.0 * visualRandom15() / 32768.0 - 1.0; }

// base reduced by up to `variance`. Written as a subtraction rather than a fraction of
// base so that a base of 0 gives a value instead of 0/0.
double varied(double base, double variance) { return base - visualRandomUnit() * variance; }

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// A drop's star stands in the x-y plane facing the camera, turned by its angle about z
// and scaled by its size, `blend` of the way from where the latest update found it to
// where it left it.
void addDrop(PolygonBatch& batch, const InkParticle& drop, double blend) {
    const Vec3 at =
        blend >= 1.0 ? drop.position : drop.tickStartPosition + (drop.position - drop.tickStartPosition) * blend;
    const double c = std::cos(drop.angle * kDegrees);
    const double s = std::sin(drop.angle * kDegrees);
    float* point = batch.add(drop.colour);
    for (int corner = 1; corner <= PolygonBatch::Corners; ++corner) {
        const FanPoint& fan = kDropFan[corner];
        const double a = fan.a * drop.size;
        const double b = fan.b * drop.size;
        *point++ = static_cast<float>(at.x + c * a - s * b);
        *point++ = static_cast<float>(at.y + s * a + c * b);
        *point++ = static_cast<float>(at.z);
    }
}

// A splat's star lies in the x-z plane, turned by its angle about y and scaled by its
// size.
void addSplat(PolygonBatch& batch, const InkParticle& splat) {
    const double c = std::cos(splat.angle * kDegrees);
    const double s = std::sin(splat.angle * kDegrees);
    float* point = batch.add(splat.colour);
    for (int corner = 1; corner <= PolygonBatch::Corners; ++corner) {
        const FanPoint& fan = kSplatFan[corner];
        const double a = fan.a * splat.size;
        const double b = fan.b * splat.size;
        *point++ = static_cast<float>(splat.position.x + c * a + s * b);
        *point++ = static_cast<float>(splat.position.y);
        *point++ = static_cast<float>(splat.position.z - s * a + c * b);
    }
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

Ink::Pool::Pool(int capacity) : room(std::clamp(capacity, 0, limits::inkDrops.highest)) {
    entries.reserve(static_cast<std::size_t>(room));
}

Ink::Pool::Pool(const Pool& other) : room(other.room), entries(other.entries) {}

Ink::Pool& Ink::Pool::operator=(const Pool& other) {
    if (room != other.room) {
        room = other.room;
        entries.reserve(static_cast<std::size_t>(room));
    }
    entries = other.entries;
    return *this;
}

InkParticle* Ink::Pool::slot() {
    if (room == 0) {
        return nullptr;
    }
    if (!full()) {
        return &entries.emplace_back();
    }
    const int index = static_cast<int>(visualRandomUnit() * capacity());
    return &entries[index];
}

void Ink::Pool::remove(int index) {
    if (index != count() - 1) {
        entries[index] = entries.back();
    }
    entries.pop_back();
}

Ink& Ink::instance() { return Game::instance().getMatch().ink; }

Ink::Ink() : particles(maxSplatsSetting()), splats(particles.capacity()), fading(particles.capacity()) {}

Ink::Ink(const Ink& other) : particles(other.particles), splats(other.splats), fading(other.fading) {}

Ink& Ink::operator=(const Ink& other) {
    particles = other.particles;
    splats = other.splats;
    fading = other.fading;
    return *this;
}

Ink::~Ink() = default;

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
    if (!batch) {
        batch = std::make_unique<PolygonBatch>(kPolygonsPerDraw);
    }
    TextureManager::instance().unbind();
    for (int i = 0; i < particles.count(); ++i) {
        addDrop(*batch, particles[i], blend);
    }
    batch->draw();
    // Splats all lie in the floor's plane, where their depths tie and rounding would pick
    // the one in front pixel by pixel, a speckle that shimmers as the view scrolls. Drawn
    // without writing depth, a later splat simply covers an earlier one.
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_FALSE);
    for (int i = 0; i < splats.count(); ++i) {
        addSplat(*batch, splats[i]);
    }
    for (int i = 0; i < fading.count(); ++i) {
        addSplat(*batch, fading[i]);
    }
    batch->draw();
    glDepthMask(depthWrites);
}
