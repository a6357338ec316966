#pragma once

#include <memory>
#include <string>

#include "world/Object.h"

// A health pickup lying on the floor, drawn as an ink pot. It neither moves nor expires;
// a player who touches it heals by amount() and kills it.
class Health : public Object {
public:
    explicit Health(float amount);
    ~Health() override;

    std::unique_ptr<Object> clone() const override { return std::make_unique<Health>(*this); }
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
    std::unique_ptr<Object> clone() const override { return std::make_unique<SmallHealth>(*this); }
};

class MediumHealth : public Health {
public:
    MediumHealth();
    std::unique_ptr<Object> clone() const override { return std::make_unique<MediumHealth>(*this); }
};

class LargeHealth : public Health {
public:
    LargeHealth();
    std::unique_ptr<Object> clone() const override { return std::make_unique<LargeHealth>(*this); }
};
