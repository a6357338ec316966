#include "core/Difficulty.h"

#include "core/SettingsCache.h"

namespace {

struct Factors {
    float playerDamage;
    float enemyHealth;
    const char* name;
};

// Easy, Normal, Hard.
constexpr Factors kFactors[] = {
    {0.5f, 0.75f, "Easy"},
    {1.0f, 1.0f, "Normal"},
    {1.5f, 1.5f, "Hard"},
};

const Factors& factorsOf(Difficulty::Level level) { return kFactors[level - Difficulty::Easy]; }

}  // namespace

Difficulty::Level Difficulty::fromSetting(int value) { return value < 0 ? Easy : value > 0 ? Hard : Normal; }

Difficulty::Level Difficulty::inForce() {
    static SettingsCache<Level> level([] { return fromSetting(Settings::instance().getIntOr("difficulty", 0)); });
    return level.get();
}

float Difficulty::playerDamageFactor(Level level) { return factorsOf(level).playerDamage; }

float Difficulty::enemyHealthFactor(Level level) { return factorsOf(level).enemyHealth; }

const char* Difficulty::name(Level level) { return factorsOf(level).name; }
