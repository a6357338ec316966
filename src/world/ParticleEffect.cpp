#include "world/ParticleEffect.h"

#include "core/Settings.h"
#include "world/Ink.h"

ParticleEffect::ParticleEffect(const std::string& name)
    : effectName(name),
      speed(Settings::instance().getFloat(name + "ParticleSpeed")),
      speedVariance(Settings::instance().getFloat(name + "ParticleSpeedVariance")),
      size(Settings::instance().getFloat(name + "ParticleSize")),
      sizeVariance(Settings::instance().getFloat(name + "ParticleSizeVariance")),
      phi(Settings::instance().getFloat(name + "ParticlePhi")),
      count(Settings::instance().getInt(name + "ParticleCount")),
      percent(Settings::instance().getFloat(name + "ParticlePercent")) {}

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
