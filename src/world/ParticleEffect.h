#pragma once

#include <string>

#include "world/Color.h"
#include "world/Vec3.h"

// The tuning of one kind of blood spray ("headHit", "limb" ...), read from the settings
// keys named after it when it is built, and fired into Ink.
class ParticleEffect {
public:
    explicit ParticleEffect(const std::string& name);

    // A spray along `direction`; `scale` multiplies the chance of each drop, so a
    // heavier blow bleeds more and a scale of 0 or less bleeds nothing.
    void emit(const Vec3& position, const Vec3& direction, const Color& colour,
              double scale) const;
    // Every drop of the effect at once, in all directions.
    void burst(const Vec3& position, const Color& colour) const;

    const std::string& name() const { return effectName; }

private:
    std::string effectName;
    double speed;
    double speedVariance;
    double size;
    double sizeVariance;
    double phi;
    int count;
    double percent;
};
