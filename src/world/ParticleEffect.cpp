#include "world/ParticleEffect.h"

#include "core/Settings.h"
#include "world/Ink.h"

ParticleEffect::ParticleEffect(const std::string& name)
    : effectName(name),
      speed(Settings::instance().getFloatWithin(name + "ParticleSpeed", limits::speed)),
      speedVariance(Settings::instance().getFloatWithin(name + "ParticleSpeedVariance", limits::speed)),
      size(Settings::instance().getFloatWithin(name + "ParticleSize", limits::bodySize)),
      sizeVariance(Settings::instance().getFloatWithin(name + "ParticleSizeVariance", limits::bodySize)),
      phi(Settings::instance().getFloatWithin(name + "ParticlePhi", limits::spread)),
      count(Settings::instance().getIntWithin(name + "ParticleCount", limits::inkDrops)),
      percent(Settings::instance().getFloatWithin(name + "ParticlePercent", limits::chance)) {}

void ParticleEffect::emit(const Vec3& position, const Vec3& direction, const Color& colour,
                          double scale) const {
    if (scale <= 0.0) {
        return;
    }
    Ink::instance().spray(position, direction, colour, speed, speedVariance, size, sizeVariance,
                          phi, count, percent * scale);
}

void ParticleEffect::burst(const Vec3& position, const Color& colour) const {
    Ink::instance().burst(position, speed, speedVariance, size, sizeVariance, count, colour);
}
