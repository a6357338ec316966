#pragma once

#include <string>

#include "world/Object.h"

// A health pickup lying on the floor, drawn as an ink pot. It neither moves nor expires;
// a player who touches it heals by amount() and kills it.
class Health : public Object {
public:
    explicit Health(float amount);
    ~Health() override;

    void draw() override;
    const RegionList& regions() const override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    float amount() const { return healAmount; }
    const std::string& getTexture() const { return texture; }

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
