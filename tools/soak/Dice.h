#pragma once

#include <cstdint>
#include <random>

// The soak's own random numbers, apart from the game's C library generator, so that a
// run is repeatable from its seed.
class Dice {
public:
    explicit Dice(uint32_t seed) : engine(seed) {}

    // True with probability p.
    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(engine) < p; }
    // A whole number from low to high, both included.
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine); }

private:
    std::mt19937 engine;
};
