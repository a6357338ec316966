#pragma once

#include <string>

#include "world/Object.h"

// A health pickup lying on the floor; a player who touches it drinks it.
class Health : public Object {
public:
    explicit Health(float amount);
    ~Health() override;

    float amount() const { return healAmount; }

protected:
    std::string texture;

private:
    float healAmount = 0.0f;
};

class SmallHealth : public Health {
public:
    SmallHealth();
};

class MediumHealth : public Health {
public:
    MediumHealth();
};

class LargeHealth : public Health {
public:
    LargeHealth();
};
